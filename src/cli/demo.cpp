// The sample workbook of `ormelin demo`: one document of every kind the library
// can draw, filled with the rows an engineer would enter, with register attributes,
// formed into printable sheets where forming is available.
#include <filesystem>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/app.hpp"
#include "cli/console_ui.hpp"
#include "cli/import_cmd.hpp"
#include "ormelin/attr_doc.hpp"
#include "ormelin/kalvora.hpp"
#include "ormelin/model.hpp"
#include "ormelin/state.hpp"
#include "ormelin/xlsx.hpp"

namespace fs = std::filesystem;

namespace ormelin::cli {
namespace {

using Row = std::vector<std::string>;

// Specification of a power supply unit: format, zone, position, designation, name, quantity, remark.
std::vector<Row> SpecificationRows() {
    std::vector<Row> rows = {
        {"", "", "", "", "Документация", "", ""},
        {"", "", "", "", "", "", ""},
        {"А3", "", "", "АБВГ.436234.001 СБ", "Сборочный чертеж", "", ""},
        {"А4", "", "", "АБВГ.436234.001 Э3", "Схема электрическая", "", ""},
        {"", "", "", "", "принципиальная", "", ""},
        {"А4", "", "", "АБВГ.436234.001 ПЭ3", "Перечень элементов", "", ""},
        {"", "", "", "", "", "", ""},
        {"", "", "", "", "Сборочные единицы", "", ""},
        {"", "", "", "", "", "", ""},
        {"А3", "", "1", "АБВГ.687281.010", "Плата печатная", "1", ""},
        {"А4", "", "2", "АБВГ.685621.003", "Жгут", "1", ""},
        {"А4", "", "3", "АБВГ.305311.002", "Радиатор", "2", ""},
        {"", "", "", "", "", "", ""},
        {"", "", "", "", "Детали", "", ""},
        {"", "", "", "", "", "", ""},
    };
    const char* parts[][2] = {
        {"АБВГ.301261.001", "Корпус"},          {"АБВГ.301561.002", "Крышка"},
        {"АБВГ.741124.003", "Кронштейн"},       {"АБВГ.713144.004", "Втулка"},
        {"АБВГ.711141.005", "Шайба изоляционная"}, {"АБВГ.754152.006", "Панель передняя"},
        {"АБВГ.754152.007", "Панель задняя"},   {"АБВГ.745422.008", "Прокладка"},
        {"АБВГ.723144.009", "Стойка"},          {"АБВГ.741324.010", "Скоба"},
    };
    int pos = 10;
    for (const auto& p : parts) {
        rows.push_back({"А4", "", std::to_string(pos++), p[0], p[1], "1", ""});
    }
    rows.push_back({"", "", "", "", "", "", ""});
    rows.push_back({"", "", "", "", "Стандартные изделия", "", ""});
    rows.push_back({"", "", "", "", "", "", ""});
    const char* standard[][3] = {
        {"Винт М3-6gx8.48.016", "ГОСТ 17473-80", "12"},  {"Винт М4-6gx10.48.016", "ГОСТ 17473-80", "8"},
        {"Гайка М3-6Н.5.016", "ГОСТ 5927-70", "12"},     {"Гайка М4-6Н.5.016", "ГОСТ 5927-70", "8"},
        {"Шайба 3.01.016", "ГОСТ 11371-78", "24"},       {"Шайба 4.01.016", "ГОСТ 11371-78", "16"},
        {"Шайба 3 65Г 016", "ГОСТ 6402-70", "12"},       {"Шайба 4 65Г 016", "ГОСТ 6402-70", "8"},
    };
    pos = 30;
    for (const auto& s : standard) {
        rows.push_back({"", "", std::to_string(pos++), "", s[0], s[2], ""});
        rows.push_back({"", "", "", "", s[1], "", ""});
    }
    rows.push_back({"", "", "", "", "", "", ""});
    rows.push_back({"", "", "", "", "Прочие изделия", "", ""});
    rows.push_back({"", "", "", "", "", "", ""});
    const char* other[][3] = {
        {"Вилка DB-9M", "", "1"},                   {"Розетка DB-9F", "", "1"},
        {"Держатель предохранителя", "FH-01", "1"}, {"Предохранитель 2 А", "ВП1-1", "2"},
        {"Выключатель", "ПКн-41", "1"},             {"Клеммник", "DG-301", "2"},
        {"Индикатор светодиодный", "L-53GD", "1"},  {"Ножка резиновая", "", "4"},
    };
    pos = 40;
    for (const auto& o : other) {
        rows.push_back({"", "", std::to_string(pos++), "", o[0], o[2], o[1]});
    }
    rows.push_back({"", "", "", "", "", "", ""});
    rows.push_back({"", "", "", "", "Материалы", "", ""});
    rows.push_back({"", "", "", "", "", "", ""});
    rows.push_back({"", "", "50", "", "Припой ПОС 61 ГОСТ 21931-76", "0,05", "кг"});
    rows.push_back({"", "", "51", "", "Флюс ФКСп ОСТ 4ГО.033.200", "0,01", "кг"});
    return rows;
}

// List of documents on data media: (line number), designation, name, remark.
std::vector<Row> MediaRows() {
    return {
        {"", "АБВГ.436234.001 СБ.pdf, 1 254 301,", "Сборочный чертеж", ""},
        {"", "CRC32 5A1F03C2", "", ""},
        {"", "АБВГ.436234.001 Э3.pdf, 318 552,", "Схема электрическая", ""},
        {"", "CRC32 91BC44E0", "принципиальная", ""},
        {"", "АБВГ.436234.001 ПЭ3.xlsx, 24 107,", "Перечень элементов", ""},
        {"", "CRC32 0D7E2B19", "", ""},
        {"", "АБВГ.687281.010.zip, 2 048 775,", "Плата печатная.", "Файлы"},
        {"", "CRC32 77E0A4D3", "Файлы изготовления", "Gerber"},
    };
}

// List of operational documents: designation, name, copies, copy number, location.
// The layout pre-fills the list's own entry in rows 3 to 6.
std::vector<Row> OperationalRows() {
    return {
        {"АБВГ.436234.001 РЭ", "Руководство по", "1", "", "Упаковка"},
        {"", "эксплуатации", "", "", ""},
        {"АБВГ.436234.001 ФО", "Формуляр", "1", "", "Упаковка"},
        {"АБВГ.436234.001 ЗИ", "Ведомость ЗИП", "1", "", "Упаковка"},
    };
}

// Group specification of the power supply unit in three executions "-", "01" and
// "02": from row 2 the execution numbers, the letter and code rows, then format,
// zone, position, designation, name, the quantity of each execution and a remark.
std::vector<Row> GroupSpecificationRows() {
    std::vector<Row> rows = {
        {"", "", "", "", "", "-", "01", "02"},
        {"", "", "", "", "", "О1", "О1", "О1"},
        {"", "", "", "", "", "", "", ""},
        {"", "", "", "", "Документация", "", "", ""},
        {"", "", "", "", "", "", "", ""},
        {"А3", "", "", "АБВГ.436234.002 СБ", "Сборочный чертеж", "X", "X", "X"},
        {"А4", "", "", "АБВГ.436234.002 Э3", "Схема электрическая", "X", "X", "X"},
        {"", "", "", "", "принципиальная", "", "", ""},
        {"", "", "", "", "", "", "", ""},
        {"", "", "", "", "Сборочные единицы", "", "", ""},
        {"", "", "", "", "", "", "", ""},
        {"А3", "", "1", "АБВГ.687281.010", "Плата печатная", "1", "1", ""},
        {"А3", "", "2", "АБВГ.687281.011", "Плата печатная", "", "", "1"},
        {"А4", "", "3", "АБВГ.685621.003", "Жгут", "1", "1", "1"},
        {"", "", "", "", "", "", "", ""},
        {"", "", "", "", "Детали", "", "", ""},
        {"", "", "", "", "", "", "", ""},
    };
    const char* parts[][5] = {
        {"АБВГ.301261.001", "Корпус", "1", "1", "1"},       {"АБВГ.301561.002", "Крышка", "1", "1", "1"},
        {"АБВГ.741124.003", "Кронштейн", "2", "2", "4"},    {"АБВГ.713144.004", "Втулка", "4", "4", "8"},
        {"АБВГ.754152.006", "Панель передняя", "1", "", ""}, {"АБВГ.754152.007", "Панель передняя", "", "1", "1"},
        {"АБВГ.745422.008", "Прокладка", "2", "2", "2"},    {"АБВГ.723144.009", "Стойка", "4", "4", "6"},
    };
    int pos = 10;
    for (const auto& p : parts) rows.push_back({"А4", "", std::to_string(pos++), p[0], p[1], p[2], p[3], p[4]});
    rows.push_back({"", "", "", "", "", "", "", ""});
    rows.push_back({"", "", "", "", "Стандартные изделия", "", "", ""});
    rows.push_back({"", "", "", "", "", "", "", ""});
    const char* standard[][5] = {
        {"Винт М3-6gx8.48.016", "ГОСТ 17473-80", "12", "12", "16"},
        {"Гайка М3-6Н.5.016", "ГОСТ 5927-70", "12", "12", "16"},
        {"Шайба 3.01.016", "ГОСТ 11371-78", "24", "24", "32"},
        {"Шайба 3 65Г 016", "ГОСТ 6402-70", "12", "12", "16"},
    };
    pos = 30;
    for (const auto& st : standard) {
        rows.push_back({"", "", std::to_string(pos++), "", st[0], st[2], st[3], st[4]});
        rows.push_back({"", "", "", "", st[1], "", "", ""});
    }
    rows.push_back({"", "", "", "", "", "", "", ""});
    rows.push_back({"", "", "", "", "Прочие изделия", "", "", ""});
    rows.push_back({"", "", "", "", "", "", "", ""});
    rows.push_back({"", "", "40", "", "Вилка DB-9M", "1", "1", "2"});
    rows.push_back({"", "", "41", "", "Предохранитель ВП1-1 2 А", "2", "2", "2"});
    return rows;
}

void FillRows(host::Worksheet& ws, int firstRow, int firstColumn, const std::vector<Row>& rows) {
    int r = firstRow;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (!row[i].empty()) {
                ws.SetLiteral(host::Area{r, firstColumn + static_cast<int>(i), r, firstColumn + static_cast<int>(i)},
                              host::Value(row[i]));
            }
        }
        ++r;
    }
}

void SetAttributes(AttrDoc& doc, const std::string& designation, const std::string& name) {
    doc.LetText("aOboz", designation);
    doc.LetText("aNaim1", "Блок питания");
    doc.LetText("aNaim2", name);
    doc.LetText("aPerv", "АБВГ.436234.001");
    doc.LetText("aDesi", "Иванов");
    doc.LetText("aChec", "Петров");
    doc.LetText("aNcon", "Сидорова");
    doc.LetText("aAppr", "Смирнов");
    doc.LetText("aDesd", "12.10.26");
    doc.LetText("aChed", "14.10.26");
    doc.LetText("aNcod", "16.10.26");
    doc.LetText("aAppd", "19.10.26");
    doc.LetText("aLite", "О1");
    doc.LetText("aFirm1", "АО \"Ормелин\"");
}

struct DemoDocument {
    ksStateOfDocument kind;
    const char* sheet;
    const char* designation;
    const char* name;
    int firstRow;
    std::vector<Row> rows;
    bool form;
    bool fromBom = false;   // filled by importing the sample bill of materials
};

/// The sample bill of materials (a KiCad export) the demo imports, shipped with the sources.
std::string SampleBom() {
#ifdef ORMELIN_EXAMPLES_DIR
    const fs::path shipped = fs::path(ORMELIN_EXAMPLES_DIR) / "demo-bom.csv";
    if (fs::exists(shipped)) return shipped.string();
#endif
    throw Error(ErrorCode::FileError, "the sample bill of materials docs/examples/demo-bom.csv is not found");
}

}  // namespace

std::string WriteDemo(const std::string& dir, std::ostream& err) {
    fs::create_directories(dir);
    fs::path path = fs::absolute(fs::path(dir) / "ormelin-demo.xlsx");

    auto ui = std::make_shared<ConsoleUi>(err, true);
    auto app = std::make_shared<model::ModelApplication>(ui);
    xlsx::InstallSaver(*app);
    auto book = app->NewWorkbook();
    book->SaveAs(path.string());
    Kalvora service(*app);

    std::vector<DemoDocument> docs;
    docs.push_back({ksSPA_OT, "АБВГ.436234.001", "АБВГ.436234.001", "", 2, SpecificationRows(), true});
    docs.push_back({ksPE_OT_1, "АБВГ.436234.001 ПЭ3", "АБВГ.436234.001 ПЭ3", "", 2, {}, true, true});
    docs.push_back({ksVN_OT, "АБВГ.436234.001 ВН", "АБВГ.436234.001 ВН", "", 2, MediaRows(), true});
    docs.push_back({ksVE_OT, "АБВГ.436234.001 ВЭ", "АБВГ.436234.001 ВЭ", "", 7, OperationalRows(), true});
    docs.push_back({ksVPA_OT, "АБВГ.436234.001 ВП", "АБВГ.436234.001 ВП", "", 3, {}, true, true});
    // The group specification of the unit's three executions.
    docs.push_back({ksSPB_OT, "АБВГ.436234.002", "АБВГ.436234.002", "", 2, GroupSpecificationRows(), true});

    ImportOptions bomOptions;
    bomOptions.bom = SampleBom();
    const import::PreparedBom bom = PrepareImport(bomOptions);

    for (auto& d : docs) {
        auto first = book->Sheet(1);
        if (!service.DocumentIsNew(first)) throw Error(ErrorCode::ApplicationDefined, "no new document sheet");
        auto ws = book->Sheet("Новый");
        ws->Name(d.sheet);
        service.DocumentBlank(ws, d.kind);
        auto doc = std::make_shared<AttrDoc>();
        SetAttributes(*doc, d.designation, d.name);
        service.AttribsToSPIS(doc, ws);
        if (d.fromBom) {
            // The purchased products take their assembly from the register row just written.
            std::ostringstream said;
            ImportInto(bomOptions, bom, service.Typed(), ws, said, err);
        } else {
            FillRows(*ws, d.firstRow, 1, d.rows);
        }
        if (d.form) {
            try {
                service.Forming(ws, true, true);
            } catch (const Error& e) {
                if (e.code() != ErrorCode::NotImplemented) throw;
            }
        }
    }
    book->Save();
    return path.string();
}

}  // namespace ormelin::cli
