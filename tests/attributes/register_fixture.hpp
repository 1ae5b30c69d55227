// A service object over a model workbook, with helpers that build a register
// sheet by hand and read it back.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/kalvora_fixture.hpp"
#include "ormelin/attr_doc.hpp"

namespace ormelin::testing_support {

/// The 32 titles of a register as the library creates it, columns A to AF.
inline const std::vector<std::string> kRegisterTitles = {
    "Файл",   "Лист",   "Обозначение", "Наименование", "Проект",   "ПервПримен",     "Разраб",
    "Пров",   "ДобПоле", "ДобФам",     "Нконтр",       "Утв",      "ДатаР",          "ДатаП",
    "ДатаД",  "ДатаН",  "ДатаУ",       "Изм",          "ЛистИ",    "№ докум.",       "ДатаИ",
    "Лит.",   "Фирма",  "СправНом",    "УтвЛит",       "УтвДок",   "ИндЗак",         "ИнвНомПодл",
    "ДатаИнвНомПодл", "ВзамИнвНом", "ИнвНомДубл", "ДатаИнвНомДубл"};

class RegisterTest : public KalvoraTest {
protected:
    using WsRef = std::shared_ptr<host::Worksheet>;
    using WbRef = std::shared_ptr<host::Workbook>;
    using DocRef = std::shared_ptr<AttrDoc>;

    /// A register "список" put in front by hand, with the given titles in row 1
    /// from column A on (an empty title leaves its cell empty).
    WsRef MakeRegister(const std::vector<std::string>& titles) {
        auto reg = book->Add(book->Sheet(1).get(), nullptr);
        reg->Name("список");
        for (std::size_t i = 0; i < titles.size(); ++i) {
            const int c = static_cast<int>(i) + 1;
            if (!titles[i].empty()) reg->SetLiteral(host::Area{1, c, 1, c}, titles[i]);
        }
        return reg;
    }
    static void PutText(const WsRef& sheet, int row, int column, const std::string& text) {
        sheet->SetLiteral(host::Area{row, column, row, column}, text);
    }
    static std::string TextAt(const WsRef& sheet, int row, int column) { return sheet->CellText(row, column); }
    WsRef AddSheet(const std::string& name) {
        auto s = book->Add(nullptr, book->Sheet(book->Count()).get());
        s->Name(name);
        return s;
    }
    /// The register through FindSPIS, added in front of the document sheet (which
    /// holds something, so that it is not taken for the register).
    WsRef CreateRegister() {
        if (ws->UsedRange() == host::Area{1, 1, 1, 1} && Text("A1").empty()) Put("A1", std::string("Формат"));
        WbRef b = book;
        k->FindSPIS(b);
        return book->FindSheet("список");
    }
    /// The sheet names of the workbook in order.
    std::vector<std::string> SheetNames() const {
        std::vector<std::string> names;
        for (int i = 1; i <= book->Count(); ++i) names.push_back(book->Sheet(i)->Name());
        return names;
    }
    const AttrDoc& Ref() const { return *k->AttributeRecord(); }
};

}  // namespace ormelin::testing_support
