// Recognising what a worksheet holds: the displayed texts of a few header cells
// are compared with the header signature of every kind and state, in a fixed
// order; the first signature that matches gives the code.
#include <string>
#include <vector>

#include "recognition/recognition.hpp"

namespace ormelin::recognition {

namespace {

struct Probe {
    const char* cell;
    const char* text;
};

struct Signature {
    std::vector<Probe> probes;  // every cell must show exactly its text
    ksStateOfDocument state;
};

const char* const kPrim = "Приме-\nчание";
const char* const kPoz = "Поз.\nобозна-\nчение";
const char* const kVnOboz = "Обозначение, имя файла,\nразмер файла (байт), контрольная сумма";
const char* const kVpaOboz = "Обозначение\nдокумента\nна поставку";

const std::vector<Signature>& Signatures() {
    static const std::vector<Signature> table = {
        // 1 specification, list
        {{{"A1", "Формат"}, {"B1", "Зона"}, {"C1", "Поз."}, {"D1", "Обозначение"}, {"E1", "Наименование"},
          {"F1", "Кол."}, {"G1", kPrim}}, ksSPA_OT},
        // 2..7 specification, formed
        {{{"C1", "Формат"}, {"D1", "Зона"}, {"E1", "Поз."}, {"G1", "Обозначение"}, {"P1", "Наименование"},
          {"V1", "Кол."}, {"X1", kPrim}}, ksSPA_OF},
        {{{"C1", "Формат"}, {"D1", "Зона"}, {"E1", "Поз."}, {"G1", "Обозначение"}, {"L1", "Наименование"},
          {"P1", "Кол."}, {"R1", kPrim}}, ksSPA_OF},
        {{{"C1", "Формат"}, {"D1", "Зона"}, {"E1", "Поз."}, {"G1", "Обозначение"}, {"K1", "Наименование"},
          {"O1", "Кол."}, {"Q1", kPrim}}, ksSPA_OF},
        {{{"C1", "Формат"}, {"D1", "Зона"}, {"E1", "Поз."}, {"G1", "Обозначение"}, {"K1", "Наименование"},
          {"N1", "Кол."}, {"O1", kPrim}}, ksSPA_OF},
        {{{"C1", "Формат"}, {"D1", "Зона"}, {"E1", "Поз."}, {"G1", "Обозначение"}, {"K1", "Наименование"},
          {"M1", "Кол."}, {"N1", kPrim}}, ksSPA_OF},
        {{{"C1", "FRMT."}, {"D1", "Поз."}, {"E1", "Обозначение"}, {"I1", "Наименование"}, {"K1", "Кол."},
          {"L1", "Прим."}}, ksSPA_OF},
        // 8 group specification, list
        {{{"A1", "Формат"}, {"B1", "Зона"}, {"C1", "Поз."}, {"D1", "Обозначение"}, {"E1", "Наименование"},
          {"F1", "Кол. на исполн."}, {"P1", "Примечание"}}, ksSPB_OT},
        // 9..11 group specification, formed (heads in row 3)
        {{{"B3", "Формат"}, {"D3", "Зона"}, {"F3", "Поз."}, {"G3", "Обозначение"}, {"J3", "Наименование"},
          {"P3", "Кол. на исполн."}, {"AD3", "Примечание"}}, ksSPB_OF},
        {{{"A3", "Формат"}, {"C3", "Зона"}, {"E3", "Поз."}, {"F3", "Обозначение"}, {"I3", "Наименование"},
          {"O3", "Кол. на исполн."}, {"AC3", "Примечание"}}, ksSPB_OF},
        {{{"A3", "Формат"}, {"B3", "Зона"}, {"C3", "Поз."}, {"D3", "Обозначение"}, {"G3", "Наименование"},
          {"M3", "Кол. на исполн."}, {"AA3", "Примечание"}}, ksSPB_OF},
        // 12, 13 list of elements, list (with and without the zone column)
        {{{"A1", "Зона"}, {"B1", kPoz}, {"C1", "Наименование"}, {"D1", "Кол."}, {"E1", "Примечание"}}, ksPE_OT_1},
        {{{"A1", kPoz}, {"B1", "Наименование"}, {"C1", "Кол."}, {"D1", "Примечание"}}, ksPE_OT_2},
        // 14..20 list of elements, formed
        {{{"C1", "Зона"}, {"D1", kPoz}, {"H1", "Наименование"}, {"U1", "Кол."}, {"W1", "Примечание"}}, ksPE_OF},
        {{{"C1", "Зона"}, {"D1", kPoz}, {"G1", "Наименование"}, {"O1", "Кол."}, {"Q1", "Примечание"}}, ksPE_OF},
        {{{"C1", "Зона"}, {"D1", kPoz}, {"G1", "Наименование"}, {"N1", "Кол."}, {"P1", "Примечание"}}, ksPE_OF},
        {{{"C1", "Зона"}, {"D1", kPoz}, {"G1", "Наименование"}, {"M1", "Кол."}, {"N1", "Примечание"}}, ksPE_OF},
        {{{"C1", kPoz}, {"G1", "Наименование"}, {"M1", "Кол."}, {"N1", "Примечание"}}, ksPE_OF},
        {{{"C1", kPoz}, {"E1", "Наименование"}, {"J1", "Кол."}, {"K1", "Примечание"}}, ksPE_OF},
        {{{"D1", kPoz}, {"G1", "Наименование"}, {"L1", "Кол."}, {"M1", "Примечание"}}, ksPE_OF},
        {{{"C1", kPoz}, {"H1", "Наименование"}, {"U1", "Кол."}, {"W1", "Примечание"}}, ksPE_OF},  // without zone
        // 21 list of purchased products, list
        {{{"A1", "№ строки"}, {"B1", "Наименование"}, {"C1", "Код продукции"}, {"D1", kVpaOboz},
          {"E1", "Поставщик"}, {"F1", "Куда входит (обозначение)"}, {"G1", "Количество"}, {"K1", kPrim}}, ksVPA_OT},
        // 22, 23 list of purchased products, formed
        {{{"D1", "Наименование"}, {"O1", "Код продукции"}, {"R1", kVpaOboz}, {"AA1", "Поставщик"},
          {"AE1", "Куда входит (обозначение)"}, {"AJ1", "Количество"}, {"AQ1", kPrim}}, ksVPA_OF},
        {{{"D1", "Наименование"}, {"E1", "Код продукции"}, {"F1", kVpaOboz}, {"G1", "Поставщик"},
          {"K1", "Куда входит (обозначение)"}, {"P1", "Количество"}, {"W1", kPrim}}, ksVPA_OF},
        // 24, 25 list of documents on data media
        {{{"A1", "№ строки"}, {"B1", kVnOboz}, {"C1", "Наименование"}, {"D1", "Примечание"}}, ksVN_OT},
        {{{"C1", "№ строки"}, {"D1", kVnOboz}, {"P1", "Наименование"}, {"W1", "Примечание"}}, ksVN_OF},
        // 26..28 connection table
        {{{"A1", "Поз."}, {"B1", "Провод"}, {"C1", "Откуда идет"}, {"D1", "Куда поступает"}, {"E1", "Длина"},
          {"F1", "Примеч."}}, ksTB_OT},
        {{{"C1", "Поз."}, {"D1", "Провод"}, {"H1", "Откуда идет"}, {"K1", "Куда поступает"}, {"L1", "Длина"},
          {"N1", "Примеч."}}, ksTB_OF},
        {{{"C1", "Поз."}, {"E1", "Провод"}, {"H1", "Откуда идет"}, {"K1", "Куда поступает"}, {"L1", "Длина"},
          {"N1", "Примеч."}}, ksTB_OF_old},
        // 29, 30 list of operational documents
        {{{"A1", "Обозначение документа"}, {"B1", "Наименование документа"}, {"C1", "Кол.\nэкз.,\nшт."},
          {"D1", "№\nэкз."}, {"E1", "Место\nнахождения"}}, ksVE_OT},
        {{{"C1", "Обозначение документа"}, {"M1", "Наименование документа"}, {"S1", "Кол.\nэкз.,\nшт."},
          {"U1", "№\nэкз."}, {"W1", "Место\nнахождения"}}, ksVE_OF},
        // 31, 32 list of electronic originals
        {{{"A1", "Имя папки, файла"}, {"B1", "Размер,\nбайт"}, {"C1", "Контр.\nсумма"}}, ksVEO_OT},
        {{{"C1", "Имя папки, файла"}, {"M1", "Размер,\nбайт"}, {"O1", "Контр.\nсумма"}}, ksVEO_OF},
    };
    return table;
}

bool Matches(const host::Worksheet& w, const Signature& s) {
    bool all = true;
    for (const Probe& p : s.probes) {  // every cell is read, matched or not
        const host::Area a = host::ParseAddress(p.cell);
        if (w.CellText(a.r1, a.c1) != p.text) all = false;
    }
    return all;
}

}  // namespace

ksStateOfDocument StateOf(const host::Worksheet& w) noexcept {
    try {
        for (const Signature& s : Signatures())
            if (Matches(w, s)) return s.state;
    } catch (...) {
        // Recognition is silent: whatever fails, no document is recognised.
    }
    return ksDOC_NO;
}

}  // namespace ormelin::recognition
