// Cell formats and formulas between the host's records and Calc's cell properties.
#include "calc_format.hpp"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include <com/sun/star/awt/FontSlant.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/FormulaLanguage.hpp>
#include <com/sun/star/sheet/FormulaMapGroup.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XFormulaOpCodeMapper.hpp>
#include <com/sun/star/sheet/XFormulaParser.hpp>
#include <com/sun/star/sheet/XFormulaTokens.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/BorderLineStyle.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/table/CellVertJustify2.hpp>
#include <com/sun/star/table/TableBorder2.hpp>
#include <com/sun/star/util/CellProtection.hpp>

using namespace css;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

namespace ormelin::calc {

namespace {

using host::BorderWeight;
using host::LineStyle;

// The properties ReadStyle reads, in the sorted order getPropertyValues wants.
enum Prop {
    kBack, kBottom, kColor, kFont, kHeight, kPosture, kStrike, kUnderline, kWeight, kProtection, kHori,
    kWrap, kLeft, kFormat, kIndent, kRight, kRotate, kShrink, kTop, kVert, kPropCount
};
const char* const kPropNames[kPropCount] = {
    "CellBackColor", "BottomBorder2", "CharColor", "CharFontName", "CharHeight", "CharPosture", "CharStrikeout",
    "CharUnderline", "CharWeight", "CellProtection", "HoriJustify", "IsTextWrapped", "LeftBorder2", "NumberFormat",
    "ParaIndent", "RightBorder2", "RotateAngle", "ShrinkToFit", "TopBorder2", "VertJustify"};

// Line widths in 1/100 mm, as Calc imports and exports the files' weights.
constexpr sal_Int16 kHair = 2, kThin = 26, kMedium = 53, kThick = 79;
// One indent level: three characters of the standard font.
constexpr sal_Int16 kIndentMm100 = 353;

host::Color ColorOf(sal_Int32 v) {
    if (v < 0) return host::Color::Auto();
    return host::Color::Rgb(static_cast<std::uint32_t>(v) & 0xFFFFFF);
}

sal_Int32 CalcColor(const host::Color& c) {
    switch (c.kind) {
    case host::Color::Kind::Rgb:
        return static_cast<sal_Int32>(c.value & 0xFFFFFF);
    case host::Color::Kind::Index:
        // the first entries of the default palette: black, white, red, green, blue
        switch (c.value) {
        case 1: return 0x000000;
        case 2: return 0xFFFFFF;
        case 3: return 0xFF0000;
        case 4: return 0x00FF00;
        case 5: return 0x0000FF;
        default: return -1;
        }
    default:
        return -1;
    }
}

host::Border BorderOf(const table::BorderLine2& line) {
    host::Border b;
    const int width = line.LineWidth ? line.LineWidth : line.OuterLineWidth + line.InnerLineWidth + line.LineDistance;
    if (width == 0 || line.LineStyle == table::BorderLineStyle::NONE) return b;
    switch (line.LineStyle) {
    case table::BorderLineStyle::DOTTED: b.style = LineStyle::Dot; break;
    case table::BorderLineStyle::DASHED:
    case table::BorderLineStyle::FINE_DASHED: b.style = LineStyle::Dash; break;
    case table::BorderLineStyle::DASH_DOT: b.style = LineStyle::DashDot; break;
    case table::BorderLineStyle::DASH_DOT_DOT: b.style = LineStyle::DashDotDot; break;
    case table::BorderLineStyle::DOUBLE:
    case table::BorderLineStyle::DOUBLE_THIN: b.style = LineStyle::Double; break;
    default: b.style = LineStyle::Continuous; break;
    }
    b.weight = width >= 70 ? BorderWeight::Thick : width >= 40 ? BorderWeight::Medium : width >= 10 ? BorderWeight::Thin
                                                                                                   : BorderWeight::Hairline;
    b.color = line.Color ? host::Color::Rgb(static_cast<std::uint32_t>(line.Color) & 0xFFFFFF) : host::Color::Rgb(0);
    if (line.Color == 0) b.color = host::Color::Auto();
    return b;
}

table::BorderLine2 LineOf(const host::Border& b) {
    table::BorderLine2 line;
    if (b.style == LineStyle::None) return line;
    switch (b.style) {
    case LineStyle::Dot: line.LineStyle = table::BorderLineStyle::DOTTED; break;
    case LineStyle::Dash: line.LineStyle = table::BorderLineStyle::DASHED; break;
    case LineStyle::DashDot:
    case LineStyle::SlantDashDot: line.LineStyle = table::BorderLineStyle::DASH_DOT; break;
    case LineStyle::DashDotDot: line.LineStyle = table::BorderLineStyle::DASH_DOT_DOT; break;
    case LineStyle::Double: line.LineStyle = table::BorderLineStyle::DOUBLE_THIN; break;
    default: line.LineStyle = table::BorderLineStyle::SOLID; break;
    }
    switch (b.weight) {
    case BorderWeight::Hairline: line.LineWidth = kHair; break;
    case BorderWeight::Thin: line.LineWidth = kThin; break;
    case BorderWeight::Medium: line.LineWidth = kMedium; break;
    case BorderWeight::Thick: line.LineWidth = kThick; break;
    }
    const sal_Int32 c = CalcColor(b.color);
    line.Color = c < 0 ? 0 : c;
    return line;
}

host::HAlign HAlignOf(table::CellHoriJustify j) {
    switch (j) {
    case table::CellHoriJustify_LEFT: return host::HAlign::Left;
    case table::CellHoriJustify_CENTER: return host::HAlign::Center;
    case table::CellHoriJustify_RIGHT: return host::HAlign::Right;
    case table::CellHoriJustify_BLOCK: return host::HAlign::Justify;
    case table::CellHoriJustify_REPEAT: return host::HAlign::Fill;
    default: return host::HAlign::General;
    }
}

table::CellHoriJustify CalcHAlign(host::HAlign a) {
    switch (a) {
    case host::HAlign::Left: return table::CellHoriJustify_LEFT;
    case host::HAlign::Center:
    case host::HAlign::CenterAcrossSelection: return table::CellHoriJustify_CENTER;
    case host::HAlign::Right: return table::CellHoriJustify_RIGHT;
    case host::HAlign::Justify:
    case host::HAlign::Distributed: return table::CellHoriJustify_BLOCK;
    case host::HAlign::Fill: return table::CellHoriJustify_REPEAT;
    default: return table::CellHoriJustify_STANDARD;
    }
}

host::VAlign VAlignOf(sal_Int32 v) {
    switch (v) {
    case table::CellVertJustify2::TOP: return host::VAlign::Top;
    case table::CellVertJustify2::CENTER: return host::VAlign::Center;
    case table::CellVertJustify2::BLOCK: return host::VAlign::Justify;
    default: return host::VAlign::Bottom;
    }
}

sal_Int32 CalcVAlign(host::VAlign a) {
    switch (a) {
    case host::VAlign::Top: return table::CellVertJustify2::TOP;
    case host::VAlign::Center: return table::CellVertJustify2::CENTER;
    case host::VAlign::Justify:
    case host::VAlign::Distributed: return table::CellVertJustify2::BLOCK;
    default: return table::CellVertJustify2::STANDARD;
    }
}

/// The formula parser of the document, set up for R1C1 references with the
/// files' function names and separators.
Reference<sheet::XFormulaParser> Parser(const CalcWorkbook& book) {
    Reference<lang::XMultiServiceFactory> factory(book.Model(), UNO_QUERY_THROW);
    Reference<sheet::XFormulaParser> parser(factory->createInstance("com.sun.star.sheet.FormulaParser"),
                                            UNO_QUERY_THROW);
    Reference<sheet::XFormulaOpCodeMapper> mapper(factory->createInstance("com.sun.star.sheet.FormulaOpCodeMapper"),
                                                  UNO_QUERY_THROW);
    Reference<beans::XPropertySet> p(parser, UNO_QUERY_THROW);
    p->setPropertyValue("OpCodeMap", Any(mapper->getAvailableMappings(sheet::FormulaLanguage::XL_ENGLISH,
                                                                      sheet::FormulaMapGroup::ALL_EXCEPT_SPECIAL)));
    p->setPropertyValue("FormulaConvention", Any(sal_Int16(2)));  // AddressConvention::XL_R1C1
    p->setPropertyValue("CompileEnglish", Any(true));
    return parser;
}

table::CellAddress CellAt(const Reference<sheet::XSpreadsheet>& sheet, int row, int column) {
    table::CellAddress a;
    a.Sheet = Reference<sheet::XCellRangeAddressable>(sheet, UNO_QUERY_THROW)->getRangeAddress().Sheet;
    a.Column = column - 1;
    a.Row = row - 1;
    return a;
}

}  // namespace

host::Style ReadStyle(const CalcWorkbook& book, const Reference<table::XCell>& cell) {
    Sequence<OUString> names(kPropCount);
    for (int i = 0; i < kPropCount; ++i) names.getArray()[i] = OUString::createFromAscii(kPropNames[i]);
    const Sequence<Any> v = Reference<beans::XMultiPropertySet>(cell, UNO_QUERY_THROW)->getPropertyValues(names);
    host::Style s;
    sal_Int32 i32 = 0;
    sal_Int16 i16 = 0;
    float f = 0;
    bool b = false;
    OUString str;
    if (v[kFormat] >>= i32) s.numberFormat = book.NumberFormatText(i32);
    table::CellHoriJustify hori = table::CellHoriJustify_STANDARD;
    if (v[kHori] >>= hori) s.horizontal = HAlignOf(hori);
    if (v[kVert] >>= i32) s.vertical = VAlignOf(i32);
    if (v[kRotate] >>= i32) s.orientation = i32 > 18000 ? (i32 - 36000) / 100 : i32 / 100;
    if (v[kWrap] >>= b) s.wrap = b;
    if (v[kShrink] >>= b) s.shrink = b;
    if (v[kIndent] >>= i16) s.indent = static_cast<int>(std::lround(static_cast<double>(i16) / kIndentMm100));
    if (v[kFont] >>= str) s.font.name = S(str);
    if (v[kHeight] >>= f) s.font.size = std::round(f * 2) / 2;
    if (v[kWeight] >>= f) s.font.bold = f > 100;
    awt::FontSlant slant = awt::FontSlant_NONE;
    if (v[kPosture] >>= slant) s.font.italic = slant == awt::FontSlant_ITALIC || slant == awt::FontSlant_OBLIQUE;
    if (v[kUnderline] >>= i16)
        s.font.underline = i16 == 0 ? host::Underline::None : i16 == 2 ? host::Underline::Double : host::Underline::Single;
    if (v[kStrike] >>= i16) s.font.strikethrough = i16 != 0 && i16 != 3;  // 3: DONTKNOW
    if (v[kColor] >>= i32) s.font.color = i32 < 0 ? host::Color::Auto() : ColorOf(i32);
    if (v[kBack] >>= i32) s.fill = ColorOf(i32);
    table::BorderLine2 line;
    if (v[kLeft] >>= line) s.left = BorderOf(line);
    if (v[kTop] >>= line) s.top = BorderOf(line);
    if (v[kBottom] >>= line) s.bottom = BorderOf(line);
    if (v[kRight] >>= line) s.right = BorderOf(line);
    util::CellProtection protection;
    if (v[kProtection] >>= protection) {
        s.locked = protection.IsLocked;
        s.formulaHidden = protection.IsFormulaHidden;
    }
    return s;
}

Sequence<OUString> StyleProperties() {
    Sequence<OUString> names(kPropCount);
    for (int i = 0; i < kPropCount; ++i) names.getArray()[i] = OUString::createFromAscii(kPropNames[i]);
    return names;
}

Sequence<Any> CellFormat(const Reference<table::XCell>& cell) {
    return Reference<beans::XMultiPropertySet>(cell, UNO_QUERY_THROW)->getPropertyValues(StyleProperties());
}

void SetCellFormat(const Reference<table::XCellRange>& range, const Sequence<Any>& format) {
    Reference<beans::XMultiPropertySet>(range, UNO_QUERY_THROW)->setPropertyValues(StyleProperties(), format);
}

void ApplyPatch(const CalcWorkbook& book, const Reference<sheet::XSpreadsheet>& sheet,
                const Reference<table::XCellRange>& range, const host::Area& area, const host::FormatPatch& patch,
                int lastColumn) {
    std::vector<std::pair<OUString, Any>> props;
    auto set = [&](const char* name, Any value) { props.emplace_back(OUString::createFromAscii(name), std::move(value)); };
    if (patch.numberFormat) set("NumberFormat", Any(book.NumberFormatKey(*patch.numberFormat)));
    if (patch.horizontal) set("HoriJustify", Any(CalcHAlign(*patch.horizontal)));
    if (patch.vertical) set("VertJustify", Any(CalcVAlign(*patch.vertical)));
    if (patch.orientation) {
        const int d = *patch.orientation;
        set("RotateAngle", Any(static_cast<sal_Int32>(d >= 0 ? d * 100 : 36000 + d * 100)));
    }
    if (patch.wrap) set("IsTextWrapped", Any(*patch.wrap));
    if (patch.shrink) set("ShrinkToFit", Any(*patch.shrink));
    if (patch.indent) set("ParaIndent", Any(static_cast<sal_Int16>(*patch.indent * kIndentMm100)));
    if (patch.fontName) set("CharFontName", Any(U(*patch.fontName)));
    if (patch.fontSize) set("CharHeight", Any(static_cast<float>(*patch.fontSize)));
    if (patch.bold) set("CharWeight", Any(*patch.bold ? 150.0f : 100.0f));
    if (patch.italic) set("CharPosture", Any(*patch.italic ? awt::FontSlant_ITALIC : awt::FontSlant_NONE));
    if (patch.underline)
        set("CharUnderline", Any(static_cast<sal_Int16>(*patch.underline == host::Underline::None       ? 0
                                                       : *patch.underline == host::Underline::Double ||
                                                                 *patch.underline == host::Underline::DoubleAccounting
                                                           ? 2
                                                           : 1)));
    if (patch.fontColor) set("CharColor", Any(CalcColor(*patch.fontColor)));
    if (patch.fill) {
        const sal_Int32 c = CalcColor(*patch.fill);
        set("CellBackColor", Any(c));
        set("IsCellBackgroundTransparent", Any(c < 0));
    }
    if (!props.empty()) {
        // setPropertyValues wants the names in order
        std::sort(props.begin(), props.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
        Sequence<OUString> names(static_cast<sal_Int32>(props.size()));
        Sequence<Any> values(static_cast<sal_Int32>(props.size()));
        for (std::size_t i = 0; i < props.size(); ++i) {
            names.getArray()[i] = props[i].first;
            values.getArray()[i] = props[i].second;
        }
        Reference<beans::XMultiPropertySet>(range, UNO_QUERY_THROW)->setPropertyValues(names, values);
    }

    // Borders: one TableBorder2 for the edges the patch names. An edge given only
    // a weight or a colour keeps the style it has (that of the area's first cell).
    bool any = false;
    for (const auto& e : patch.borders) any = any || !e.empty();
    if (!any) return;
    const auto edge = [&](host::Edge which) -> const host::FormatPatch::BorderPatch& {
        return patch.borders[static_cast<std::size_t>(which)];
    };
    std::optional<host::Style> first;
    auto lineFor = [&](host::Edge which) {
        const auto& e = edge(which);
        host::Border b;
        if (!e.style || !e.weight || !e.color) {
            if (!first) first = ReadStyle(book, sheet->getCellByPosition(area.c1 - 1, area.r1 - 1));
            switch (which) {
            case host::Edge::Left: b = first->left; break;
            case host::Edge::Right: case host::Edge::InsideVertical: b = first->right; break;
            case host::Edge::Top: b = first->top; break;
            default: b = first->bottom; break;
            }
            if (b.style == LineStyle::None && !e.style) b.style = LineStyle::Continuous;
        }
        if (e.style) b.style = *e.style;
        if (e.weight) b.weight = *e.weight;
        if (e.color) b.color = *e.color;
        return LineOf(b);
    };
    table::TableBorder2 tb;
    tb.IsLeftLineValid = tb.IsRightLineValid = tb.IsTopLineValid = tb.IsBottomLineValid = false;
    tb.IsHorizontalLineValid = tb.IsVerticalLineValid = tb.IsDistanceValid = false;
    if (!edge(host::Edge::Left).empty()) { tb.LeftLine = lineFor(host::Edge::Left); tb.IsLeftLineValid = true; }
    if (!edge(host::Edge::Right).empty()) { tb.RightLine = lineFor(host::Edge::Right); tb.IsRightLineValid = true; }
    if (!edge(host::Edge::Top).empty()) { tb.TopLine = lineFor(host::Edge::Top); tb.IsTopLineValid = true; }
    if (!edge(host::Edge::Bottom).empty()) { tb.BottomLine = lineFor(host::Edge::Bottom); tb.IsBottomLineValid = true; }
    if (!edge(host::Edge::InsideHorizontal).empty() && area.rows() > 1) {
        tb.HorizontalLine = lineFor(host::Edge::InsideHorizontal);
        tb.IsHorizontalLineValid = true;
    }
    if (!edge(host::Edge::InsideVertical).empty() && area.columns() > 1) {
        tb.VerticalLine = lineFor(host::Edge::InsideVertical);
        tb.IsVerticalLineValid = true;
    }
    // Calc's undo of lines set through TableBorder2 leaves them in place (LibreOffice
    // 7.4): a change of the cells' own format comes first, whose undo gives the
    // range back every format it had, lines included. The diagonal line, which no
    // form draws, is set to none: nothing shows or is written differently.
    Reference<beans::XPropertySet>(range, UNO_QUERY_THROW)->setPropertyValue("DiagonalTLBR2", Any(table::BorderLine2()));
    Reference<beans::XPropertySet>(range, UNO_QUERY_THROW)->setPropertyValue("TableBorder2", Any(tb));

    // An outer edge cleared also clears the facing edge of the cells beside the area.
    auto clearBeside = [&](host::Edge which, int r1, int c1, int r2, int c2, const char* name) {
        const auto& e = edge(which);
        if (!e.style || *e.style != LineStyle::None) return;
        if (r1 < 1 || c1 < 1 || r2 > host::kMaxRows || c2 > lastColumn) return;
        Reference<beans::XPropertySet>(sheet->getCellRangeByPosition(c1 - 1, r1 - 1, c2 - 1, r2 - 1), UNO_QUERY_THROW)
            ->setPropertyValue(OUString::createFromAscii(name), Any(table::BorderLine2()));
    };
    const int c2 = std::min(area.c2, lastColumn);
    clearBeside(host::Edge::Left, area.r1, area.c1 - 1, area.r2, area.c1 - 1, "RightBorder2");
    clearBeside(host::Edge::Right, area.r1, c2 + 1, area.r2, c2 + 1, "LeftBorder2");
    clearBeside(host::Edge::Top, area.r1 - 1, area.c1, area.r1 - 1, c2, "BottomBorder2");
    clearBeside(host::Edge::Bottom, area.r2 + 1, area.c1, area.r2 + 1, c2, "TopBorder2");
}

host::FormatPatch PatchOf(const host::Style& s) {
    host::FormatPatch p;
    p.numberFormat = s.numberFormat;
    p.horizontal = s.horizontal;
    p.vertical = s.vertical;
    p.orientation = s.orientation;
    p.wrap = s.wrap;
    p.shrink = s.shrink;
    p.indent = s.indent;
    p.fontName = s.font.name;
    p.fontSize = s.font.size;
    p.bold = s.font.bold;
    p.italic = s.font.italic;
    p.underline = s.font.underline;
    p.fontColor = s.font.color;
    p.fill = s.fill;
    const host::Border* edges[] = {&s.left, &s.top, &s.bottom, &s.right};
    for (int i = 0; i < 4; ++i) {
        auto& b = p.borders[static_cast<std::size_t>(i)];
        b.style = edges[i]->style;
        b.weight = edges[i]->weight;
        b.color = edges[i]->color;
    }
    return p;
}

sal_Int32 CellFormatKey(const Reference<sheet::XSpreadsheet>& sheet, int row, int column) {
    sal_Int32 key = 0;
    Reference<beans::XPropertySet>(sheet->getCellByPosition(column - 1, row - 1), UNO_QUERY_THROW)
        ->getPropertyValue("NumberFormat") >>= key;
    return key;
}

host::CellError ErrorOf(sal_Int32 code) {
    switch (code) {
    case 532: return host::CellError::Div0;
    case 519: case 502: case 504: return host::CellError::Value;
    case 524: return host::CellError::Ref;
    case 525: return host::CellError::Name;
    case 503: return host::CellError::Num;
    case 521: return host::CellError::Null;
    default: return host::CellError::NA;
    }
}

std::string FormulaR1C1(const CalcWorkbook& book, const Reference<sheet::XSpreadsheet>& sheet, int row, int column,
                        const Reference<table::XCell>& cell) {
    Reference<sheet::XFormulaTokens> tokens(cell, UNO_QUERY_THROW);
    std::string f = S(Parser(book)->printFormula(tokens->getTokens(), CellAt(sheet, row, column)));
    if (f.empty() || f[0] != '=') f.insert(f.begin(), '=');
    return f;
}

void SetFormulaR1C1(const CalcWorkbook& book, const Reference<sheet::XSpreadsheet>& sheet, int row, int column,
                    const std::string& formula) {
    const table::CellAddress at = CellAt(sheet, row, column);
    Reference<sheet::XFormulaTokens> cell(sheet->getCellByPosition(column - 1, row - 1), UNO_QUERY_THROW);
    cell->setTokens(Parser(book)->parseFormula(U(formula), at));
}

}  // namespace ormelin::calc
