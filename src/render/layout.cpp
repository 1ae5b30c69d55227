// The layout of a formed document on paper: pages from the sheet geometry, rows
// and columns from the form table's millimetres, texts fitted into their fields.
#include "render/layout.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <variant>

#include "forming/forming.hpp"
#include "forming/forming_spb.hpp"

namespace ormelin::render {

namespace {

using forming::MmBand;
using forming::MmField;
using forming::MmLine;
using forming::MmListBand;
using forming::MmSheet;
using forming::PaperGeometry;
using forming::SheetGeometry;

/// The size the text is measured at; widths scale with the size.
constexpr double kMeasurePoints = 10.0;
/// A field's text keeps this much from its field's sides and from its top and bottom.
constexpr double kSideMargin = 0.8;
constexpr double kLineSpacing = 1.25;  // lines of a field, in capital heights over the em
/// Texts are condensed down to this share of their width, never more.
constexpr double kMostCondensed = 0.8;

/// The x of every column's left edge (index: column, 1-based; one past the last
/// column too) in a band: the strip columns A and B left of the frame, then the
/// band's fields from column C, each field's millimetres shared equally by its
/// columns.
std::vector<double> ColumnEdges(const PaperGeometry& p, const MmField* fields, int count, int columns) {
    std::vector<double> x(static_cast<std::size_t>(columns) + 2, 0.0);
    if (p.stripWidths[0] > 0 && columns >= 2) {
        x[1] = -(p.stripWidths[0] + p.stripWidths[1]);
        x[2] = -p.stripWidths[1];
    }
    double at = 0;
    for (int f = 0; f < count; ++f) {
        const int c1 = fields[f].column;
        const int c2 = f + 1 < count ? fields[f + 1].column - 1 : columns;
        const int n = std::max(1, c2 - c1 + 1);
        for (int c = c1; c <= c2 && c <= columns; ++c)
            x[static_cast<std::size_t>(c)] = at + fields[f].mm * (c - c1) / n;
        at += fields[f].mm;
    }
    x[static_cast<std::size_t>(columns) + 1] = at;
    return x;
}

int FieldCount(const MmField* fields, int max) {
    int n = 0;
    while (n < max && fields[n].mm > 0) ++n;
    return n;
}

/// A sheet of the document: which kind, where its rows begin on the worksheet.
struct PagePlan {
    const PaperGeometry* paper;
    const MmSheet* kind;
    const MmListBand* list;
    int base;     // worksheet row = base + the kind's row
    int columns;  // the columns the paper's bands share out (an A4 sheet of an A3 document: A..Z)
    int shift = 0;  // the form stands this many columns further right on the worksheet
    const forming::MmTurnedSheet* turned = nullptr;  // a sheet drawn turned
};

const MmListBand* ListBandOf(const PaperGeometry& p, const host::Worksheet& ws, std::int32_t state) {
    const std::string c1 = ws.CellText(1, 3);
    for (int i = 0; i < p.listCount; ++i) {
        const MmListBand& b = p.lists[i];
        if (b.state == state && (!b.c1 || c1 == b.c1)) return &b;
    }
    for (int i = 0; i < p.listCount; ++i)
        if (p.lists[i].state == state) return &p.lists[i];
    return nullptr;
}

std::string FormNameOf(std::int32_t state) {
    const SheetGeometry* g = forming::GeometryOfFormed(state);
    return g ? g->name : "none";
}

struct Resolved {
    const SheetGeometry* geometry = nullptr;
    const PaperGeometry* paper = nullptr;
};

Resolved Resolve(std::int32_t state) {
    Resolved r;
    r.geometry = forming::GeometryOfFormed(state);
    if (r.geometry) r.paper = forming::PaperOf(StateEntryOf(state).form);
    return r;
}

/// The columns the form stands further right: the group specification with its
/// change-registration sheet stands a column further right (and that sheet is drawn
/// turned).
int ColumnShift(const host::Worksheet& ws, std::int32_t state) {
    if (StateEntryOf(state).form != FormId::A4LandscapeGroup) return 0;
    const auto spb = forming::SpbSheetsOnForm(ws);
    return spb && spb->registration ? 1 : 0;
}

std::vector<PagePlan> PlanPages(const host::Worksheet& ws, std::int32_t state, const Resolved& r) {
    const SheetGeometry& g = *r.geometry;
    const PaperGeometry& p = *r.paper;
    const MmListBand* list = ListBandOf(p, ws, state);
    if (!list) throw std::runtime_error("the form table has no list fields for the state " + std::to_string(state));
    const int shift = ColumnShift(ws, state);
    const SheetGeometry* gp = shift ? &forming::kA4LandscapeGroupMoved : &g;
    const long long count = forming::SheetCountOf(ws, *gp).value_or(1);
    if (count > 100000) throw std::runtime_error("the first sheet's title block counts " + std::to_string(count) +
                                                 " sheets, more than the worksheet can hold");
    std::vector<PagePlan> pages;
    for (int k = 1; k <= count; ++k) {
        if (k == 1) {
            pages.push_back({&p, &p.first, list, 0, g.columns, shift});
            continue;
        }
        const int b = forming::BottomLineOf(g, k - 1);
        const forming::RowMark& h = gp->registrationHeading;
        const bool registration =
            k == count && h.text && ws.CellText(b + h.row - 1, h.column) == h.text;
        if (registration && p.turnedRegistration) {
            pages.push_back({&p, &p.further, list, b, gp->columns, 0, p.turnedRegistration});
        } else if (registration) {
            const PaperGeometry* rp = p.registrationOnA4 ? &forming::kA4PortraitPaper : &p;
            const int columns = p.registrationOnA4 ? forming::kA4Portrait.columns : g.columns;
            pages.push_back({rp, &rp->registrationSheet, &rp->registration, b - 1, columns});
        } else {
            pages.push_back({&p, &p.further, list, b - 1, g.columns, shift});
        }
    }
    return pages;
}

/// The rows of a page kind: top and height (mm from the frame's top) and band, by
/// the kind's row number.
struct RowPlace {
    double top = 0, height = 0;
    MmBand band = MmBand::Below;
    bool used = false;
};

std::vector<RowPlace> PlaceRows(const MmSheet& kind, double frameHeight) {
    int last = 0;
    for (const auto& run : kind.rows) last = std::max(last, run.to);
    std::vector<RowPlace> rows(static_cast<std::size_t>(last) + 1);
    double y = kind.firstRowTop;
    bool foot = false;
    for (std::size_t i = 0; i < std::size(kind.rows); ++i) {
        const auto& run = kind.rows[i];
        if (run.to < run.from || run.mm <= 0) continue;
        if (run.atFoot && !foot) {
            foot = true;
            double rest = 0;
            for (std::size_t j = i; j < std::size(kind.rows); ++j) {
                const auto& r = kind.rows[j];
                if (r.to >= r.from && r.band != MmBand::Below && r.mm > 0) rest += r.mm * (r.to - r.from + 1);
            }
            y = frameHeight - rest;
        }
        for (int r = run.from; r <= run.to; ++r) {
            rows[static_cast<std::size_t>(r)] = {y, run.mm, run.band, true};
            y += run.mm;
        }
    }
    return rows;
}

bool IsNumber(const host::Worksheet& ws, int row, int column) {
    return std::holds_alternative<double>(ws.Content(row, column).value);
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (true) {
        const std::size_t nl = text.find('\n', from);
        std::string line = text.substr(from, nl == std::string::npos ? std::string::npos : nl - from);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        if (nl == std::string::npos) break;
        from = nl + 1;
    }
    return lines;
}

/// The frame (main lines) and the binding-margin strip's fields of a sheet kind,
/// through add(x1, y1, x2, y2, main) in the frame's millimetres.
template <class Add>
void FrameAndStrip(const Add& add, const PaperGeometry& p, const MmSheet& kind) {
    const double W = p.frameWidth, H = p.frameHeight;
    add(0, 0, W, 0, true);
    add(W, 0, W, H, true);
    add(W, H, 0, H, true);
    add(0, H, 0, 0, true);
    const double stripLeft = -(p.stripWidths[0] + p.stripWidths[1]);
    for (const auto& s : kind.strip) {
        if (s.height <= 0) continue;
        add(stripLeft, s.y, 0, s.y, true);
        add(stripLeft, s.y + s.height, 0, s.y + s.height, true);
        add(stripLeft, s.y, stripLeft, s.y + s.height, true);
        add(-p.stripWidths[1], s.y, -p.stripWidths[1], s.y + s.height, true);
    }
}

}  // namespace

double GostSize(double points) {
    if (points < 8) return 1.8;
    if (points < 12) return 2.5;
    if (points < 17) return 3.5;
    if (points < 24) return 5.0;
    return 7.0;
}

Layout::Layout() {
    const auto file = measure::FormFontFile();
    if (!file) throw std::runtime_error("the drafting font is not installed (ormelin-drafting.ttf or osifont)");
    fontFile_ = *file;
    auto m = measure::FontMeasure(fontFile_, kMeasurePoints);
    if (!m) throw std::runtime_error("the drafting font " + fontFile_ + " cannot be read");
    measure_ = *m;
    if (auto cap = measure::CapHeightPerEm(fontFile_); cap && *cap > 0.3 && *cap < 1.0) capShare_ = *cap;
}

double Layout::WidthMm(const std::string& text, double em) const { return measure_(text) / kMeasurePoints * em; }

void Layout::Fit(FieldText& f, const std::string& text, const host::Style& st, host::HAlign align, double size,
                 std::vector<Cut>& cuts) const {
    f.lines.clear();
    f.cut = false;
    const double boxW = f.rotation ? f.h : f.w, boxH = f.rotation ? f.w : f.h;
    const double side = std::min(kSideMargin, boxW * 0.1);
    const double available = boxW - 2 * side;
    std::vector<std::string> lines;
    // A cell that shrinks its text to fit keeps each of its lines whole while
    // condensing can fit it, and wraps it only where condensing cannot: LibreOffice
    // saves every cell whose text breaks lines as wrapping, and the same document
    // must print the same after it.
    const double narrowest = st.shrink ? kMostCondensed : 1.0;
    for (std::string& para : SplitLines(text)) {
        if (!st.wrap || WidthMm(para, f.em) * narrowest <= available) {
            lines.push_back(std::move(para));
            continue;
        }
        std::string line;
        std::size_t from = 0;
        while (from <= para.size()) {
            const std::size_t sp = para.find(' ', from);
            const std::string word = para.substr(from, sp == std::string::npos ? std::string::npos : sp - from);
            const std::string tried = line.empty() ? word : line + " " + word;
            if (!line.empty() && WidthMm(tried, f.em) > available) {
                lines.push_back(line);
                line = word;
            } else {
                line = tried;
            }
            if (sp == std::string::npos) break;
            from = sp + 1;
        }
        lines.push_back(line);
    }
    const double lineH = size * kLineSpacing + (f.em - size) * 0.5;
    const double blockH = lineH * static_cast<double>(lines.size());
    const double vmargin = std::min(kSideMargin, std::max(0.0, boxH - blockH) / 2);
    double top = 0;
    switch (st.vertical) {
        case host::VAlign::Top: top = vmargin; break;
        case host::VAlign::Bottom: top = boxH - blockH - vmargin; break;
        default: top = (boxH - blockH) / 2; break;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        PlacedLine pl;
        pl.text = std::move(lines[i]);
        const double need = WidthMm(pl.text, f.em);
        double drawn = need;
        if (need > available) {
            pl.condense = std::max(kMostCondensed, available / need);
            drawn = need * pl.condense;
            if (need * kMostCondensed > available + 1e-9) {
                cuts.push_back({pl.text, need, available});
                f.cut = true;
            }
        }
        if (drawn >= available || align == host::HAlign::Left)
            pl.x = side;
        else if (align == host::HAlign::Right)
            pl.x = boxW - side - drawn;
        else
            pl.x = (boxW - drawn) / 2;
        pl.baseline = top + lineH * static_cast<double>(i) + (lineH + size) / 2;
        f.lines.push_back(std::move(pl));
    }
    // lines below the field's foot are cut too
    if (blockH > boxH + 0.5 && !lines.empty() && cuts.empty())
        cuts.push_back({f.lines.back().text, blockH, boxH});
    // a block a little taller than its field (within the tolerance above) still
    // stays inside it
    if (blockH > boxH) f.cut = true;
}

PageLayout Layout::TurnedPage(const host::Worksheet& ws, const forming::MmTurnedSheet& t, int base, int number,
                              std::vector<ClippedText>* clipped, bool withLines) const {
    const PaperGeometry& p = forming::kA4PortraitPaper;  // the form it shows, upright
    constexpr int kRows = 39;
    int columns = 0;
    for (int c = 1; c < static_cast<int>(std::size(t.columnMm)); ++c)
        if (t.columnMm[c] > 0) columns = c;
    std::vector<double> top(static_cast<std::size_t>(columns) + 1, 0.0);
    double y = 0;
    for (int c = columns; c >= 1; --c) {
        top[static_cast<std::size_t>(c)] = y;
        y += t.columnMm[c];
    }
    auto rowEdges = [&](const MmField* fields, int max) {
        const int n = FieldCount(fields, max);
        std::vector<double> x(kRows + 2, 0.0);
        double at = -(p.stripWidths[0] + p.stripWidths[1]);
        for (int f = 0; f < n; ++f) {
            const int r1 = fields[f].column, r2 = f + 1 < n ? fields[f + 1].column - 1 : kRows;
            for (int r = r1; r <= r2; ++r) x[static_cast<std::size_t>(r)] = at + fields[f].mm * (r - r1) / (r2 - r1 + 1);
            at += fields[f].mm;
        }
        x[kRows + 1] = at;
        return x;
    };
    const std::vector<double> titleX = rowEdges(t.titleRows, 12), tableX = rowEdges(t.tableRows, 14);
    const double fx = p.frameLeft, fy = p.frameTop;

    PageLayout page;
    page.paperWidth = p.paperWidth;
    page.paperHeight = p.paperHeight;
    page.lineMain = p.mainLine;
    page.lineThin = p.thinLine;
    const std::vector<host::Area> merges = ws.MergedAreas(host::Area{base + 1, 1, base + kRows, columns});
    auto areaAt = [&](int row, int column) {
        for (const host::Area& a : merges)
            if (a.contains(row, column)) return a;
        return host::Area{row, column, row, column};
    };
    for (int r = 1; r <= kRows; ++r) {
        const int row = base + r;
        for (int c = 1; c <= columns; ++c) {
            const host::Area a = areaAt(row, c);
            if (a.r1 != row || a.c1 != c || t.columnMm[c] <= 0) continue;
            std::string text = ws.CellText(row, c);
            if (text.empty()) continue;
            const std::vector<double>& xs = c <= t.titleColumnsTo ? titleX : tableX;
            const int r2 = std::min(a.r2 - base, kRows), c2 = std::min(a.c2, columns);
            FieldText f;
            f.x = fx + xs[static_cast<std::size_t>(r)];
            f.w = xs[static_cast<std::size_t>(r2) + 1] - xs[static_cast<std::size_t>(r)];
            f.y = fy + top[static_cast<std::size_t>(c2)];
            f.h = top[static_cast<std::size_t>(c)] + t.columnMm[c] - top[static_cast<std::size_t>(c2)];
            if (r <= t.stripRows) {
                // a binding-margin field: its place up the strip, whatever its columns' heights
                double up = 0;
                bool found = false;
                for (const MmField& s : t.stripColumns) {
                    if (s.mm <= 0) break;
                    if (s.column == c) {
                        f.y = fy + p.frameHeight - up - s.mm;
                        f.h = s.mm;
                        found = true;
                        break;
                    }
                    up += s.mm;
                }
                if (!found) continue;
            }
            if (f.w <= 0.01 || f.h <= 0.01) continue;
            host::Style st = ws.CellStyle(row, c);
            // turned upright: the text's direction a quarter turn back, the landscape's
            // vertical alignment across, its horizontal one down the page
            f.rotation = st.orientation <= -45 ? 0 : 90;
            host::HAlign across = st.vertical == host::VAlign::Top      ? host::HAlign::Left
                                  : st.vertical == host::VAlign::Bottom ? host::HAlign::Right
                                                                        : host::HAlign::Center;
            st.vertical = st.horizontal == host::HAlign::Right  ? host::VAlign::Top
                          : st.horizontal == host::HAlign::Left ? host::VAlign::Bottom
                                                                : host::VAlign::Center;
            const double size = GostSize(st.font.size);
            f.em = size / capShare_;
            std::vector<Cut> cuts;
            Fit(f, text, st, across, size, cuts);
            if (clipped)
                for (Cut& cut : cuts)
                    clipped->push_back({ws.Name(), host::AddressOf(host::Area{row, c, row, c}), number,
                                        std::move(cut.text), cut.need, cut.available});
            page.texts.push_back(std::move(f));
        }
    }
    if (!withLines) return page;
    auto add = [&](double x1, double y1, double x2, double y2, bool main) {
        page.lines.push_back({fx + x1, fy + y1, fx + x2, fy + y2, main});
    };
    const double W = p.frameWidth, H = p.frameHeight;
    const MmSheet& further = p.further;
    FrameAndStrip(add, p, further);
    for (int i = 0; i < further.footLines; ++i) {
        const MmLine& l = further.foot[i];
        add(l.x1, H - further.footHeight + l.y1, l.x2, H - further.footHeight + l.y2, l.main);
    }
    for (int i = 0; i < t.lineCount; ++i) add(t.lines[i].x1, t.lines[i].y1, t.lines[i].x2, t.lines[i].y2, t.lines[i].main);
    if (t.bodyRow > 0)
        for (double by = t.bodyTop + t.bodyRow; by < t.bodyBottom - 0.01; by += t.bodyRow) add(0, by, W, by, false);
    return page;
}

std::vector<PageLayout> Layout::Pages(const host::Worksheet& ws, std::int32_t state,
                                      std::vector<ClippedText>* clipped, bool withLines) {
    const Resolved r = Resolve(state);
    if (!r.paper)
        throw std::runtime_error("the form \"" + FormNameOf(state) + "\" has no millimetres in the form table yet");
    std::vector<PageLayout> out;
    const std::vector<PagePlan> plans = PlanPages(ws, state, r);
    int number = 0;
    for (const PagePlan& plan : plans) {
        ++number;
        const PaperGeometry& p = *plan.paper;
        if (plan.turned) {
            out.push_back(TurnedPage(ws, *plan.turned, plan.base, number, clipped, withLines));
            continue;
        }
        const MmSheet& kind = *plan.kind;
        const int columns = plan.columns;
        const std::vector<RowPlace> rows = PlaceRows(kind, p.frameHeight);
        const int lastRel = static_cast<int>(rows.size()) - 1;
        const int firstRel = plan.base == 0 ? 1 : 2;
        const int r1 = plan.base + firstRel, r2 = plan.base + lastRel;
        const std::vector<double> titleX = ColumnEdges(p, p.title, FieldCount(p.title, 26), columns);
        const std::vector<double> stripX =
            p.stripBand ? ColumnEdges(p, p.stripBand, p.stripFields, columns) : titleX;
        const std::vector<double> listX = ColumnEdges(p, plan.list->fields, FieldCount(plan.list->fields, 16), columns);
        const double fx = p.frameLeft, fy = p.frameTop;

        // merged areas of the page: index of the area each cell belongs to
        const int width = columns;
        const int height = r2 - r1 + 1;
        std::vector<int> owner(static_cast<std::size_t>(width) * height, -1);
        // columns count on the form: the worksheet's column is the form's plus the shift
        const int sh = plan.shift;
        std::vector<host::Area> merges = ws.MergedAreas(host::Area{r1, 1 + sh, r2, columns + sh});
        for (host::Area& a : merges) {
            a.c1 = std::max(1, a.c1 - sh);
            a.c2 -= sh;
        }
        for (std::size_t i = 0; i < merges.size(); ++i) {
            const host::Area& a = merges[i];
            for (int rr = std::max(a.r1, r1); rr <= std::min(a.r2, r2); ++rr)
                for (int cc = std::max(a.c1, 1); cc <= std::min(a.c2, columns); ++cc)
                    owner[static_cast<std::size_t>(rr - r1) * width + (cc - 1)] = static_cast<int>(i);
        }
        auto areaAt = [&](int row, int column) {
            const int i = owner[static_cast<std::size_t>(row - r1) * width + (column - 1)];
            return i < 0 ? host::Area{row, column, row, column} : merges[static_cast<std::size_t>(i)];
        };

        PageLayout page;
        page.paperWidth = p.paperWidth;
        page.paperHeight = p.paperHeight;
        page.lineMain = p.mainLine;
        page.lineThin = p.thinLine;

        // ---- texts
        for (int rel = firstRel; rel <= lastRel; ++rel) {
            const RowPlace& place = rows[static_cast<std::size_t>(rel)];
            if (!place.used) continue;
            const int row = plan.base + rel;
            for (int c = 1; c <= columns; ++c) {
                const host::Area a = areaAt(row, c);
                if (a.c1 != c || (a.r1 != row && a.r1 >= r1)) continue;  // inside a merged area
                if (a.r1 < r1) continue;
                std::string text = ws.CellText(row, c + sh);
                if (text.empty()) continue;
                const std::vector<double>& xs = place.band == MmBand::List || place.band == MmBand::Zone ? listX
                                                : place.band == MmBand::Strip                          ? stripX
                                                                                                       : titleX;
                const int c2 = std::min(a.c2, columns);
                double x = xs[static_cast<std::size_t>(c)], w = xs[static_cast<std::size_t>(c2) + 1] - x;
                double y = place.top, h = 0;
                const int lastRow = std::min(a.r2, r2);
                for (int k = rel; k <= lastRow - plan.base && k <= lastRel; ++k)
                    if (rows[static_cast<std::size_t>(k)].used) h += rows[static_cast<std::size_t>(k)].height;
                if (c <= 2 && p.stripWidths[0] > 0) {
                    for (const auto& s : kind.strip)
                        if (s.height > 0 && s.row == rel) {
                            y = s.y;
                            h = s.height;
                        }
                    w = c == 1 && c2 >= 2 ? p.stripWidths[0] + p.stripWidths[1] : p.stripWidths[c - 1];
                }
                if (w <= 0.01 || h <= 0.01) continue;

                const host::Style& st = ws.CellStyle(row, c + sh);
                FieldText f;
                f.x = fx + x;
                f.y = fy + y;
                f.w = w;
                f.h = h;
                f.rotation = st.orientation >= 45 ? 90 : st.orientation <= -45 ? -90 : 0;
                const double size = GostSize(st.font.size);
                f.em = size / capShare_;
                host::HAlign align = st.horizontal;
                if (align == host::HAlign::General)
                    align = IsNumber(ws, row, c + sh) ? host::HAlign::Right : host::HAlign::Left;
                std::vector<Cut> cuts;
                Fit(f, text, st, align, size, cuts);
                // A head text that does not fit a field narrower than it is high reads
                // upwards, as the standards' forms set the heads of narrow columns.
                // When it does not fit upwards either (or a turned text does not fit its
                // field), it takes the smaller standard size 2.5 mm (GOST 2.304), as
                // "№ строки" does in the 7-mm column of the purchased products' head.
                // the text laid out again turned and at a size; kept when nothing is cut
                auto refit = [&](int rotation, double at) {
                    FieldText again = f;
                    again.rotation = rotation;
                    again.em = at / capShare_;
                    std::vector<Cut> againCuts;
                    Fit(again, text, st, align, at, againCuts);
                    if (!againCuts.empty()) return false;
                    f = std::move(again);
                    cuts.clear();
                    return true;
                };
                if (!cuts.empty() && f.rotation == 0 && h > 1.5 * w) {
                    if (!refit(90, size) && size > 2.5) refit(90, 2.5);
                } else if (!cuts.empty() && f.rotation != 0 && size > 2.5) {
                    refit(f.rotation, 2.5);
                }
                if (clipped)
                    for (Cut& cut : cuts)
                        clipped->push_back({ws.Name(), host::AddressOf(host::Area{row, c + sh, row, c + sh}), number,
                                            std::move(cut.text), cut.need, cut.available});
                page.texts.push_back(std::move(f));
            }
        }
        if (!withLines) {
            out.push_back(std::move(page));
            continue;
        }

        // ---- lines
        auto add = [&](double x1, double y1, double x2, double y2, bool main) {
            page.lines.push_back({fx + x1, fy + y1, fx + x2, fy + y2, main});
        };
        const double W = p.frameWidth, H = p.frameHeight;
        FrameAndStrip(add, p, kind);
        for (int i = 0; i < kind.extraLines; ++i) {
            const MmLine& l = kind.extra[i];
            add(l.x1, l.y1, l.x2, l.y2, l.main);
        }
        const double footTop = H - kind.footHeight;
        for (int i = 0; i < kind.footLines; ++i) {
            const MmLine& l = kind.foot[i];
            add(p.titleLeft + l.x1, footTop + l.y1, p.titleLeft + l.x2, footTop + l.y2, l.main);
        }
        const double blockTop = footTop - kind.blockHeight;
        for (int i = 0; i < kind.blockLines; ++i) {
            const MmLine& l = kind.block[i];
            add(p.titleLeft + l.x1, blockTop + l.y1, p.titleLeft + l.x2, blockTop + l.y2, l.main);
        }
        // the list's table: from its first row to the block (first sheet) or the title block
        int tableFirst = 0, tableLast = 0;
        for (int rel = firstRel; rel <= lastRel; ++rel)
            if (rows[static_cast<std::size_t>(rel)].used && rows[static_cast<std::size_t>(rel)].band == MmBand::List) {
                if (!tableFirst) tableFirst = rel;
                tableLast = rel;
            }
        if (tableFirst) {
            const double tableBottom = kind.blockHeight > 0 ? blockTop : footTop;
            const int headLast = tableFirst + plan.list->head - 1;
            const int nf = FieldCount(plan.list->fields, 16);
            // columns: each field's left edge from the first head row no merged cell crosses
            for (int f = 1; f < nf; ++f) {
                const int c = plan.list->fields[f].column;
                const double x = listX[static_cast<std::size_t>(c)];
                int from = tableFirst;
                for (int rel = tableFirst; rel <= headLast; ++rel) {
                    const host::Area a = areaAt(plan.base + rel, c);
                    if (a.c1 < c) from = rel + 1;
                }
                if (from > tableLast) continue;
                // beside a title block narrower than the frame the table runs down to the frame
                const double bottom = kind.blockHeight <= 0 && x < p.titleLeft - 0.01 ? H : tableBottom;
                add(x, rows[static_cast<std::size_t>(from)].top, x, bottom, true);
            }
            if (kind.blockHeight > 0) add(0, tableBottom, W, tableBottom, true);  // the table's end
            // the head's lines (main, under each head cell that ends there), then the rows' (thin)
            for (int rel = tableFirst; rel <= tableLast; ++rel) {
                const RowPlace& place = rows[static_cast<std::size_t>(rel)];
                const double y = place.top + place.height;
                if (std::abs(y - tableBottom) < 0.01) continue;
                if (rel > headLast) {
                    add(0, y, W, y, false);
                    continue;
                }
                for (int f = 0; f < nf; ++f) {
                    const int c1 = plan.list->fields[f].column;
                    const int c2 = f + 1 < nf ? plan.list->fields[f + 1].column : columns + 1;
                    const host::Area a = areaAt(plan.base + rel, c1);
                    if (rel < headLast) {
                        // a head cell over several fields, or over a cell of its own below
                        if (a.r2 > plan.base + rel) continue;
                        const bool spans = a.c2 >= c2;
                        if (!spans && ws.CellText(plan.base + rel + 1, c1 + sh).empty()) continue;
                    }
                    add(listX[static_cast<std::size_t>(c1)], y, listX[static_cast<std::size_t>(c2)], y, true);
                }
            }
        }
        out.push_back(std::move(page));
    }
    return out;
}

// ------------------------------------------------------------------ the public listing

bool CanRender(std::int32_t state) { return Resolve(state).paper != nullptr; }

int PageCount(const host::Worksheet& ws, std::int32_t state) {
    const Resolved r = Resolve(state);
    if (!r.paper) return 0;
    return static_cast<int>(PlanPages(ws, state, r).size());
}

std::string DocumentTitle(const host::Worksheet& ws, std::int32_t state) {
    const Resolved r = Resolve(state);
    if (!r.paper || r.paper->designation.row == 0) return ws.Name();
    auto oneLine = [](std::string s) {
        std::replace(s.begin(), s.end(), '\n', ' ');
        return s;
    };
    const int shift = ColumnShift(ws, state);
    const std::string designation =
        oneLine(ws.CellText(r.paper->designation.row, r.paper->designation.column + shift));
    const std::string name = oneLine(ws.CellText(r.paper->name.row, r.paper->name.column + shift));
    std::string title = designation;
    if (!name.empty()) title += title.empty() ? name : " " + name;
    return title.empty() ? ws.Name() : title;
}

std::vector<ClippedText> ClippedTexts(const host::Worksheet& ws, std::int32_t state) {
    Layout layout;
    std::vector<ClippedText> clipped;
    layout.Pages(ws, state, &clipped, false);
    return clipped;
}

}  // namespace ormelin::render
