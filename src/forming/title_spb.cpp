// The frames of the formed group specification (A4 landscape, columns A..AE):
// the binding-margin lines over the first sheet, the heads, the variable-data
// zone, the title block of the first sheet and of every further sheet, and the
// change-registration sheet drawn for reading turned by 90 degrees.
//
// Addresses of the first sheet are worksheet addresses. A further sheet's count
// from its block, whose row 1 is the previous sheet's last row; the
// change-registration sheet's from its own first row.
// Format patches below name only the fields they change; the others stay empty.

#include <cctype>
#include <stdexcept>
#include <string>
#include <vector>

#include "forming/forming.hpp"
#include "forming/forming_spb.hpp"
#include "forming/steps.hpp"

namespace ormelin::forming {

namespace {

using H = host::HAlign;
using V = host::VAlign;
using U = host::Underline;
using P = AttrProp;

const host::Color kBlack = host::Color::Rgb(0);
const host::Color kNoFill = host::Color::Auto();

/// A date field: the attribute's text, as a date where it reads as one.
struct DateCell {
    const char* cell;
    AttrProp attr;
};

// an empty register date reads as 0, which shows nothing
const host::FormatPatch kDate = {.numberFormat = HidingZero("dd.mm.yy"), .horizontal = H::Center, .shrink = false,
                                 .fontSize = 7};

// ------------------------------------------------------------------ first sheet

// Rows 1:2: what a sheet's binding margin holds, laid along the top edge.
const std::vector<CellStep>& BindingSteps() {
    static const std::vector<CellStep> steps = {
        // the rows come in with the list head's formats; their captions read across
        {.range = "1:1", .format = {.horizontal = H::Center, .vertical = V::Center, .orientation = 0, .fontSize = 11},
         .rowHeight = 15},
        {.range = "2:2",
         .format = {.numberFormat = "General", .horizontal = H::Center, .vertical = V::Center, .orientation = 0,
                    .fontSize = 11},
         .rowHeight = 20},
        {.range = "A1:F1", .merge = true, .values = {Text("Инв. № подл.")}},
        {.range = "A2:F2", .merge = true, .values = {Attr(P::aInpo)}},
        {.range = "G1", .values = {Text("Подп. и дата")}},
        {.range = "G2", .format = {.horizontal = H::Right}, .values = {Attr(P::aInpd)}},
        {.range = "H1", .values = {Text("Взам. инв. №")}},
        {.range = "H2", .values = {Attr(P::aInvz)}},
        {.range = "I1:K1", .merge = true, .values = {Text("Инв. № дубл.")}},
        {.range = "I2:K2", .merge = true, .values = {Attr(P::aIndu)}},
        {.range = "L1:N1", .merge = true, .values = {Text("Подп. и дата")}},
        {.range = "L2:N2", .merge = true, .format = {.horizontal = H::Right}, .values = {Attr(P::aIndd)}},
        {.range = "P1:V1", .merge = true, .values = {Text("Справ. №")}},
        {.range = "P2:V2", .merge = true, .values = {Attr(P::aSpra)}},
        {.range = "W1:AE1", .merge = true, .values = {Text("Перв. примен.")}},
        {.range = "W2:AE2", .merge = true, .values = {FirstUse()}},
    };
    return steps;
}

// The labels of the per-execution letter and code rows (15:16).
const std::vector<CellStep>& VariableZoneSteps() {
    static const std::vector<CellStep> steps = {
        {.range = "N13:N15", .merge = true, .format = {.orientation = 90}, .values = {Text("Лит.")}},
        {.range = "13:15", .rowHeight = 15},
        {.range = "N16", .values = {Text("Код")}},
    };
    return steps;
}

// Rows 17..27, inserted under the variable-data zone.
const std::vector<CellStep>& TitleFirstSteps() {
    static const host::FormatPatch field = {.horizontal = H::Center, .fontSize = 11};
    static const std::vector<CellStep> steps = {
        {.range = "17:27",
         .format = {.numberFormat = "General", .orientation = 0, .shrink = false, .bold = false, .underline = U::None,
                    .fontColor = kBlack, .fill = kNoFill}},
        {.range = "17:17", .rowHeight = 40},
        {.range = "18:18", .rowHeight = 23},
        {.range = "19:27", .format = {.horizontal = H::Center, .fontSize = 11}, .rowHeight = 15},
        // additional fields
        {.range = "P17:Q17", .merge = true},
        {.range = "R17:W17", .merge = true, .format = field, .values = {Attr(P::aAlit)}},
        {.range = "X17:AE17", .merge = true, .format = field, .values = {Attr(P::aAdoc)}},
        {.range = "P18:AE18", .merge = true, .format = field, .values = {Attr(P::aIcus)}},
        // change line and its captions (M:N and J:K merged per row, SpbTitleFirstMerges)
        {.range = "J20", .values = {Attr(P::aIzme)}},
        {.range = "K20", .values = {Attr(P::aIzml)}},
        {.range = "L20", .values = {Attr(P::aNdoc)}},
        {.range = "J21", .format = {.fontSize = 10}, .values = {Text("Изм.")}},
        {.range = "K21", .values = {Text("Лист")}},
        {.range = "L21", .values = {Text("№ докум.")}},
        {.range = "M21", .values = {Text("Подп.")}},
        {.range = "O21", .values = {Text("Дата")}},
        {.range = "O20", .format = kDate},
        // signature lines
        {.range = "J22:L26", .format = {.horizontal = H::Left}},
        {.range = "O22:O26", .format = kDate},
        {.range = "J22", .values = {Text("Разраб.")}},
        {.range = "L22", .values = {Attr(P::aDesi)}},
        {.range = "J23", .values = {Text("Пров.")}},
        {.range = "L23", .values = {Attr(P::aChec)}},
        {.range = "J24", .values = {Attr(P::aAddb)}},
        {.range = "L24", .values = {Attr(P::aAddf)}},
        {.range = "J25", .values = {Text("Н. контр.")}},
        {.range = "L25", .values = {Attr(P::aNcon)}},
        {.range = "J26", .values = {Text("Утв.")}},
        {.range = "L26", .values = {Attr(P::aAppr)}},
        // designation, name
        {.range = "P19:AE21", .merge = true, .format = {.fontSize = 20}, .values = {Attr(P::aOboz)}},
        {.range = "P22:X26", .merge = true, .format = {.wrap = true}, .values = {Attr(P::aNaim)}},
        // letter, sheet, sheets, organisation
        {.range = "Y22:AA22", .merge = true, .values = {Text("Лит.")}},
        {.range = "Y23", .values = {Attr(P::aLite)}},
        {.range = "AB22:AC22", .merge = true, .values = {Text("Лист")}},
        {.range = "AB23:AC23", .merge = true},
        {.range = "AD22:AE22", .merge = true, .values = {Text("Листов")}},
        {.range = "AD23:AE23", .merge = true},
        {.range = "Y24:AE26", .merge = true, .format = {.wrap = true, .fontSize = 14}, .values = {Attr(P::aFirm)}},
        // the line under the frame
        {.range = "A27:O27", .merge = true},
        {.range = "P27:X27", .merge = true, .format = {.horizontal = H::Left}, .values = {Text("Копировал:")}},
        {.range = "Y27:AE27", .merge = true, .format = {.horizontal = H::Right}, .values = {Text("Формат А4")}},
        {.range = "A19:I26", .merge = true},
    };
    return steps;
}

const std::vector<RowMerges>& TitleFirstMerges() {
    static const std::vector<RowMerges> merges = {{"M:N", 19, 26}, {"J:K", 22, 26}};
    return merges;
}

constexpr DateCell kTitleFirstDates[] = {
    {"O20", P::aIzmd}, {"O22", P::aDesd}, {"O23", P::aChed}, {"O24", P::aAddd}, {"O25", P::aNcod}, {"O26", P::aAppd},
};

// The merges of the first sheet's heads (rows 3:4) and of the areas around the
// variable-data zone and the title block.
constexpr const char* kFirstSheetMerges[] = {
    "A3:B4", "C3:D4", "F3:H4", "I3:N4", "O3:S3", "T3:AB3", "AC3:AE4", "Q4:R4", "W4:X4", "Y4:Z4", "AA4:AB4",
    "A13:M18", "N17:O18", "A19:I26",
};

// ------------------------------------------------------------------ further sheets

// Block rows 23..27, inserted under the sheet's 17 list rows.
const std::vector<CellStep>& TitleNextSteps() {
    static const std::vector<CellStep> steps = {
        {.range = "23:27",
         .format = {.numberFormat = "General", .horizontal = H::Center, .orientation = 0, .fontSize = 11},
         .rowHeight = 15},
        {.range = "A23:I26", .merge = true},
        {.range = "24:24", .rowHeight = 6},
        {.range = "25:25", .rowHeight = 9},
        {.range = "M23:N23", .merge = true},
        {.range = "J24:J25", .merge = true, .values = {Attr(P::aIzme)}},
        {.range = "K24:K25", .merge = true, .values = {Attr(P::aIzml)}},
        {.range = "L24:L25", .merge = true, .values = {Attr(P::aNdoc)}},
        {.range = "M24:N25", .merge = true},
        {.range = "O24:O25", .merge = true, .format = kDate, .values = {Attr(P::aIzmd)}},
        {.range = "P23:AD26", .merge = true, .format = {.fontSize = 20}, .values = {Attr(P::aOboz)}},
        {.range = "AE23:AE24", .merge = true, .values = {Text("Лист")}},
        {.range = "AE25:AE26", .merge = true, .format = {.fontSize = 12}},
    };
    return steps;
}

// ------------------------------------------------------------------ change-registration sheet

const std::vector<CellStep>& PageReviSteps() {
    static const host::FormatPatch caption = {.vertical = V::Top, .fontSize = 10};
    static const std::vector<CellStep> steps = {
        {.range = "1:39", .format = {.orientation = -90, .fontSize = 11}, .rowHeight = 15},
        // centred, as it prints: a turned text left to the general alignment is
        // placed differently by each program (LibreOffice saves it as left)
        {.range = "A1:D39", .format = {.horizontal = H::Center}},
        {.range = "2:2", .rowHeight = 20},
        {.range = "4:4", .rowHeight = 6},
        {.range = "5:5", .rowHeight = 24},
        {.range = "11:11", .rowHeight = 9},
        // title strip: caption, value, signature space
        {.range = "A3:A4", .merge = true, .format = caption, .values = {Text("Изм.")}},
        {.range = "B3:C4", .merge = true, .values = {Attr(P::aIzme)}},
        {.range = "D3:D4", .merge = true},
        {.range = "A5:A6", .merge = true, .values = {Text("Лист")}},
        {.range = "B5:C6", .merge = true, .values = {Attr(P::aIzml)}},
        {.range = "D5:D6", .merge = true},
        {.range = "A7:A11", .merge = true, .values = {Text("№ докум.")}},
        {.range = "B7:C11", .merge = true, .values = {Attr(P::aNdoc)}},
        {.range = "D7:D11", .merge = true},
        {.range = "A12:A14", .merge = true, .values = {Text("Подп.")}},
        {.range = "B12:C14", .merge = true},
        {.range = "D12:D14", .merge = true},
        {.range = "A15:A16", .merge = true, .format = {.vertical = V::Top}, .values = {Text("Дата")}},
        {.range = "B15:C16", .merge = true, .format = {.fontSize = 7}, .values = {Attr(P::aIzmd)}},
        {.range = "D15:D16", .merge = true},
        {.range = "A17:D37", .merge = true, .format = {.fontSize = 20}, .values = {Attr(P::aOboz)}},
        {.range = "A38:B39", .merge = true, .format = {.fontSize = 12}},
        {.range = "C38:D39", .merge = true, .values = {Text("Лист")}},
        // the table: one entry, the document's current change
        {.range = "E3:Z39", .format = {.horizontal = H::Right}},
        {.range = "E3:Z5", .merge = true},  // the change number (SpbPageRevi)
        {.range = "E6:Z8", .merge = true, .values = {Formula("=IF(R[-3]C=\"\",\"\",\"-\")")}},
        {.range = "E9:Z12", .merge = true, .values = {Formula("=IF(R[-6]C=\"\",\"\",\"-\")")}},
        {.range = "E13:Z15", .merge = true, .values = {Formula("=IF(R[-10]C=\"\",\"\",\"Все\")")}},
        {.range = "E16:Z18", .merge = true},
        {.range = "E19:Z22", .merge = true},
        {.range = "E23:Z26", .merge = true},  // the document number (SpbPageRevi)
        {.range = "E27:Z32", .merge = true, .values = {Formula("=IF(R[-4]C=\"\",\"\",\"-\")")}},
        {.range = "E33:Z35", .merge = true},
        {.range = "E36:Z39", .merge = true, .values = {Attr(P::aIzmd)}},
        // its captions
        {.range = "AA3:AD5", .merge = true, .values = {Text("Изм.")}},
        {.range = "AD6:AD18", .merge = true, .values = {Text("Номера листов (страниц)")}},
        {.range = "AA6:AC8", .merge = true, .values = {Text("изменен-\nных")}},
        {.range = "AA9:AC12", .merge = true, .values = {Text("заменен-\nных")}},
        {.range = "AA13:AC15", .merge = true, .values = {Text("новых")}},
        {.range = "AA16:AC18", .merge = true, .format = {.fontSize = 10}, .values = {Text("аннулиро-\nванных")}},
        {.range = "AA19:AD22", .merge = true, .format = {.fontSize = 10},
         .values = {Text("Всего\nлистов\n(страниц)\nв докум.")}},
        {.range = "AA23:AD26", .merge = true, .values = {Text("№\nдокум.")}},
        {.range = "AA27:AD32", .merge = true, .values = {Text("Входящий №\nсопроводитель\nного докум.\nи дата")}},
        {.range = "AA33:AD35", .merge = true, .values = {Text("Подп.")}},
        {.range = "AA36:AD39", .merge = true, .values = {Text("Дата")}},
        {.range = "AE3:AE39", .merge = true, .values = {Text("Лист регистрации изменений")}},
    };
    return steps;
}

// The inserted column A beside the registration sheet.
const std::vector<CellStep>& RegistrationColumnSteps() {
    static const std::vector<CellStep> steps = {
        {.range = "A1:A16", .merge = true},
        {.range = "A17:A26", .merge = true, .format = {.vertical = V::Top}, .values = {Text("Копировал:")}},
        {.range = "A27:A39", .merge = true, .format = {.vertical = V::Bottom}, .values = {Text("Формат А4")}},
    };
    return steps;
}

// ------------------------------------------------------------------ helpers

void Frame(const std::shared_ptr<host::Worksheet>& ws, int top, const char* range) {
    host::Range(ws, At(range, top)).Borders().LineStyle(host::LineStyle::Continuous);
}

void LeftAndBottom(const std::shared_ptr<host::Worksheet>& ws, int top, const char* range) {
    const host::Range r(ws, At(range, top));
    r.Borders(host::Edge::Left).LineStyle(host::LineStyle::Continuous);
    r.Borders(host::Edge::Bottom).LineStyle(host::LineStyle::Continuous);
}

/// The value a cell tested by a formula of the registration table receives: a
/// register reference as a text, so that an empty register cell reads as the
/// empty text there (a bare reference to an empty cell yields 0, which the
/// formulas would take for a change).
host::Value TestedValue(const std::string& v) {
    if (!v.empty() && v.front() == '=') return v + "&\"\"";
    return v;
}

bool Digits(const std::string& s, std::size_t from, std::size_t to) {
    if (from >= to) return false;
    for (std::size_t i = from; i < to; ++i)
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    return true;
}

}  // namespace

std::string DateText(const std::string& text) {
    // day.month.year, day/month/year (year of 2 or 4 digits) or year-month-day
    int d = 0, m = 0, y = 0;
    const auto parts = [&](char sep, std::size_t& a, std::size_t& b) {
        a = text.find(sep);
        if (a == std::string::npos) return false;
        b = text.find(sep, a + 1);
        return b != std::string::npos && text.find(sep, b + 1) == std::string::npos;
    };
    std::size_t a = 0, b = 0;
    bool ok = false;
    if (parts('-', a, b)) {
        ok = a == 4 && Digits(text, 0, a) && Digits(text, a + 1, b) && Digits(text, b + 1, text.size()) &&
             b - a - 1 <= 2 && text.size() - b - 1 <= 2;
        if (ok) {
            y = std::stoi(text.substr(0, a));
            m = std::stoi(text.substr(a + 1, b - a - 1));
            d = std::stoi(text.substr(b + 1));
        }
    } else if (parts('.', a, b) || parts('/', a, b)) {
        const std::size_t yl = text.size() - b - 1;
        ok = a <= 2 && b - a - 1 <= 2 && (yl == 2 || yl == 4) && Digits(text, 0, a) && Digits(text, a + 1, b) &&
             Digits(text, b + 1, text.size());
        if (ok) {
            d = std::stoi(text.substr(0, a));
            m = std::stoi(text.substr(a + 1, b - a - 1));
            y = std::stoi(text.substr(b + 1));
            if (yl == 2) y += y < 30 ? 2000 : 1900;
        }
    }
    if (!ok || m < 1 || m > 12 || d < 1 || y < 1900 || y > 9999) return text;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (d > kDays[m - 1] + (m == 2 && leap ? 1 : 0)) return text;
    auto two = [](int v) { return std::string(1, static_cast<char>('0' + v / 10)) + static_cast<char>('0' + v % 10); };
    return two(d) + "." + two(m) + "." + two(y % 100);
}

void SpbBindingLines(const std::shared_ptr<host::Worksheet>& ws, const AttrDoc& attDoc) {
    ApplySteps(ws, 1, BindingSteps(), attDoc);
}

void SpbVariableZone(const std::shared_ptr<host::Worksheet>& ws, const AttrDoc& attDoc) {
    ApplySteps(ws, 1, VariableZoneSteps(), attDoc);
}

void SpbTitleFirst(const std::shared_ptr<host::Worksheet>& ws, const AttrDoc& attDoc) {
    ApplyRowMerges(*ws, 1, TitleFirstMerges());
    ApplySteps(ws, 1, TitleFirstSteps(), attDoc);
    for (const DateCell& d : kTitleFirstDates) ws->SetValue(At(d.cell, 1), DateText(attDoc.Get(d.attr)));
}

void SpbFirstSheetMerges(const std::shared_ptr<host::Worksheet>& ws, const AttrDoc& attDoc) {
    MergeAt(*ws, kFirstSheetMerges, 1);
    // the designation over the execution numbers, then "-"
    ws->SetValue(At("T3", 1), attDoc.Get(P::aOboz) + " & \"-\"");
}

void SpbFirstSheetBorders(const std::shared_ptr<host::Worksheet>& ws) {
    for (const char* r : {"A1:N2", "P1:AE2", "A3:AE12"}) Frame(ws, 1, r);
    host::Range(ws, At("O3:AB3", 1)).Borders(host::Edge::InsideVertical).LineStyle(host::LineStyle::None);
    for (const char* r : {"N13:AE16", "P17:AE18", "J19:AE26"}) Frame(ws, 1, r);
    LeftAndBottom(ws, 1, "A13:I26");
}

void SpbPageNext(const std::shared_ptr<host::Worksheet>& ws, long long b64, int k, const AttrDoc& attDoc) {
    host::Worksheet& w = *ws;
    const int b = static_cast<int>(b64);
    // binding-margin lines and heads
    w.InsertRows(b + 1, 4);
    w.RowHeight(b + 1, b + 1, 15);
    w.RowHeight(b + 2, b + 2, 20);
    w.CopyTo(At("A1:N2", 1), w, b + 1, 1);
    w.RowHeight(b + 3, b + 3, 20);
    w.RowHeight(b + 4, b + 4, 23);
    // the heads of the form's columns: the list's link cell after them stays on sheet 1
    w.CopyTo(At("A3:AE4", 1), w, b + 3, 1);
    w.Merge(At("O2:AE3", b));
    // title block and the line under the frame
    w.InsertRows(b + 22, 5);
    ApplySteps(ws, b, TitleNextSteps(), attDoc);
    w.CopyTo(At("J21:O21", 1), w, b + 25, host::ColumnNumber("J"));
    w.SetValue(At("AE25", b), static_cast<double>(k));
    w.CopyTo(host::ParseAddress("27:27"), w, b + 26, 1);
    // list rows
    static const std::vector<RowMerges> rows = {{"A:B", 6, 22}, {"C:D", 6, 22}, {"F:H", 6, 22},
                                                {"I:N", 6, 22}, {"Q:R", 6, 22}, {"W:X", 6, 22},
                                                {"Y:Z", 6, 22}, {"AA:AB", 6, 22}, {"AC:AE", 6, 22}};
    ApplyRowMerges(w, b, rows);
    Frame(ws, b, "A6:AE22");
    Frame(ws, b, "J23:AE26");
    LeftAndBottom(ws, b, "A22:I26");
}

void SpbPageRevi(const std::shared_ptr<host::Worksheet>& ws, long long b64, int k, const AttrDoc& attDoc) {
    host::Worksheet& w = *ws;
    const int top = static_cast<int>(b64) + 1;
    // The sheet takes rows of its own: the list rows after the last sheet stay list rows.
    w.InsertRows(top, kA4LandscapeGroup.registration.rows);
    ApplySteps(ws, top, PageReviSteps(), attDoc);
    w.CopyTo(At("A1:N2", 1), w, top, 1);
    w.SetValue(At("A38", top), static_cast<double>(k));
    w.SetValue(At(kRegistrationChangeCell, top), TestedValue(attDoc.Get(P::aIzme)));
    w.SetValue(At(kRegistrationDocumentCell, top), TestedValue(attDoc.Get(P::aNdoc)));
    // LibreOffice prints the 0 of an empty register cell in a turned cell as
    // "###" whatever its format: the turned fields take the empty text instead
    for (const auto& [cell, attr] : {std::pair{"B3", P::aIzme}, {"B5", P::aIzml}, {"B7", P::aNdoc}, {"B15", P::aIzmd},
                                     {"A17", P::aOboz}, {"E36", P::aIzmd}})
        w.SetValue(At(cell, top), TestedValue(attDoc.Get(attr)));
    Frame(ws, top, "A3:AE39");
    // the narrow column beside it, for the whole worksheet
    w.InsertColumns(1, 1);
    w.Columns("A:A").ApplyFormat({.horizontal = H::General, .orientation = -90, .fontSize = 11});
    w.ColumnWidth(1, 1, 2);
    ApplySteps(ws, top, RegistrationColumnSteps(), attDoc);
}

TitleCells FirstTitleCellsGroup() {
    for (const DateCell& d : kTitleFirstDates)
        if (d.attr == P::aDesd) return TitleCellsOf(TitleFirstSteps(), d.cell);
    throw std::logic_error("the group specification's title block has no date of \"Разраб.\"");
}

TitleCells FirstTitleCells(FormId form) {
    switch (form) {
        case FormId::A4Portrait: return FirstTitleCellsA4();
        case FormId::A3PurchasedProducts: return FirstTitleCellsA3();
        case FormId::A4LandscapeGroup: return FirstTitleCellsGroup();
        case FormId::None: break;
    }
    throw std::logic_error("no title block for a document without a form");
}

}  // namespace ormelin::forming
