// Sheet preparation and blank dispatch: a worksheet is wiped, given the base list
// format, and the list layout of the chosen kind is drawn under frozen panes.
// Format patches below name only the fields they change; the others stay empty.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "core/frame.hpp"

namespace ormelin {

namespace {

// The base list format every row of a list sheet keeps.
host::FormatPatch BaseListFormat() {
    host::FormatPatch p{
        .numberFormat = "General",
        .horizontal = host::HAlign::Center,
        .vertical = host::VAlign::Center,
        .orientation = 0,
        .wrap = false,
        .fontName = "ISOCPEUR",
        .fontSize = 14,
        .bold = false,
        .italic = true,
        .underline = host::Underline::None,
        .fontColor = host::Color::Rgb(0),
    };
    for (auto& b : p.borders) b.style = host::LineStyle::None;
    return p;
}

constexpr double kListRowHeight = 26;
constexpr double kHeaderRowHeight = 43;

}  // namespace

void Kalvora::SheetPrepare() {
    host::Worksheet& w = Sheet();
    w.Activate();
    const host::Range all = w.Cells();
    all.Clear();
    all.ApplyFormat(BaseListFormat());
    all.RowHeight(kListRowHeight);
    all.MergeCells(false);
    const host::Range head = w.Rows(1);
    head.RowHeight(kHeaderRowHeight);
    head.Font().Size(14);
    app_.ActiveWindow().DisplayZeros(false);
    w.Range_("A1").Select();
}

void Kalvora::DocumentBlank(WorksheetRef& oWorksheet, ksStateOfDocument kssod) {
    CallFrame frame(*this);
    // Which layout a code draws, above which row the panes freeze, and the font
    // size the whole sheet takes first (0: the base size stays).
    struct Blank {
        ksStateOfDocument code;
        void (Kalvora::*layout)(bool);
        int freezeAbove;
        double fontSizeAll;
    };
    static const Blank blanks[] = {
        {ksSPA_OT, &Kalvora::SPA_ColumnsWidthAndHead, 2, 0},
        {ksSPB_OT, &Kalvora::SPB_ColumnsWidthAndHead, 5, 0},
        {ksPE_OT_1, &Kalvora::PE_ColumnsWidthAndHead, 2, 0},
        {ksPE_OT_2, &Kalvora::PE_ColumnsWidthAndHead, 2, 0},
        {ksVPA_OT, &Kalvora::VPA_ColumnsWidthAndHead, 3, 12},
        {ksVN_OT, &Kalvora::VN_ColumnsWidthAndHead, 2, 0},
        {ksVE_OT, &Kalvora::VE_ColumnsWidthAndHead, 2, 0},
    };

    ws_ = oWorksheet;
    Sheet().Activate();
    app_.ScreenUpdating(false);
    app_.ActiveWindow().View(host::ViewMode::Normal);
    app_.ActiveWindow().FreezePanes(false);
    SheetPrepare();

    for (const Blank& b : blanks) {
        if (b.code != kssod) continue;
        if (b.fontSizeAll > 0) Sheet().Cells().Font().Size(b.fontSizeAll);
        (this->*b.layout)(false);
        Sheet().Rows(b.freezeAbove).Select();
        break;
    }
    app_.ActiveWindow().FreezePanes(true);
    app_.ScreenUpdating(true);
}

void Kalvora::SPA_Blank(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    DocumentBlank(oWorksheet, ksSPA_OT);
}

void Kalvora::SPB_Blank(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    DocumentBlank(oWorksheet, ksSPB_OT);
}

void Kalvora::PE_Blank(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    DocumentBlank(oWorksheet, ksPE_OT_2);
}

void Kalvora::VE_Blank(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    DocumentBlank(oWorksheet, ksVE_OT);
}

void Kalvora::VN_Blank(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    DocumentBlank(oWorksheet, ksVN_OT);
}

void Kalvora::VPA_Blank(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    DocumentBlank(oWorksheet, ksVPA_OT);
}

}  // namespace ormelin
