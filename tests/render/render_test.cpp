// The print read back from the PDF, not from the code: the demo's six documents
// printed by `ormelin pdf --all`, their lines read from poppler's SVG of each page,
// their words from pdftotext -bbox, and a picture of each kind's first and further
// sheet compared with the reviewed one kept in tests/render/reference. The expected
// millimetres are the standards' (GOST 2.301, 2.104, 2.106, 2.701, 2.303).
#include <cairo.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "cli/command_fixture.hpp"
#include "measure/text_measure.hpp"
#include "ormelin/model.hpp"
#include "ormelin/state.hpp"
#include "ormelin/xlsx.hpp"
#include "render/font_subset.hpp"
#include "render/render.hpp"

#ifdef ORMELIN_DRAFTING_FONT
#include <ft2build.h>
#include FT_FREETYPE_H
#endif

namespace fs = std::filesystem;
using ormelin::testing_support::Bytes;
using ormelin::testing_support::Quote;

namespace {

constexpr double kMm = 72.0 / 25.4;  // points per millimetre

struct Segment {
    double x1, y1, x2, y2, width;  // mm
};

struct Word {
    std::string text;
    double x1, y1, x2, y2;  // mm
};

bool HavePoppler() {
    return std::system("command -v pdftocairo >/dev/null 2>&1 && command -v pdftotext >/dev/null 2>&1 && "
                       "command -v pdftoppm >/dev/null 2>&1") == 0;
}

/// The stroked straight lines of a page, from poppler's SVG of it. A path's own
/// coordinates are the page's points: poppler fits the whole page to the SVG's size
/// with a transform of its own, left out here.
std::vector<Segment> LinesOf(const std::string& pdf, int page, const std::string& scratch) {
    const std::string svg = scratch + "/page.svg";
    const std::string cmd = "pdftocairo -svg -f " + std::to_string(page) + " -l " + std::to_string(page) + " " +
                            Quote(pdf) + " " + Quote(svg);
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    const std::string text = Bytes(svg);
    std::vector<Segment> lines;
    for (std::size_t at = text.find("<path"); at != std::string::npos; at = text.find("<path", at + 1)) {
        const std::string p = text.substr(at, text.find('>', at) - at);
        const std::size_t w = p.find("stroke-width:"), d = p.find(" d=\"");
        if (w == std::string::npos || d == std::string::npos) continue;
        const double width = std::stod(p.substr(w + 13)) / kMm;
        std::istringstream in(p.substr(d + 4, p.find('"', d + 4) - d - 4));
        std::string op;
        double px = 0, py = 0, x = 0, y = 0;
        while (in >> op) {
            if ((op == "M" || op == "L") && in >> x >> y) {
                if (op == "L") lines.push_back({px / kMm, py / kMm, x / kMm, y / kMm, width});
                px = x, py = y;
            }
        }
    }
    return lines;
}

/// The words of a page with their boxes.
std::vector<Word> WordsOf(const std::string& pdf, int page, const std::string& scratch) {
    const std::string html = scratch + "/page.html";
    const std::string cmd = "pdftotext -bbox -f " + std::to_string(page) + " -l " + std::to_string(page) + " " +
                            Quote(pdf) + " " + Quote(html);
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    const std::string text = Bytes(html);
    static const std::regex word(
        R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
    std::vector<Word> words;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), word); it != std::sregex_iterator(); ++it) {
        const auto& m = *it;
        words.push_back({m[5].str(), std::stod(m[1]) / kMm, std::stod(m[2]) / kMm, std::stod(m[3]) / kMm,
                         std::stod(m[4]) / kMm});
    }
    return words;
}

/// Whether a line runs from (x1, y1) to (x2, y2), horizontal or vertical, within
/// 0.2 mm, main (at least 0.5 mm) or thin.
bool HasLine(const std::vector<Segment>& lines, double x1, double y1, double x2, double y2, bool main) {
    constexpr double kTol = 0.2;
    const bool horizontal = std::abs(y1 - y2) < 1e-9;
    // the collinear pieces, joined where they meet
    std::vector<std::pair<double, double>> spans;
    for (const Segment& s : lines) {
        if ((s.width >= 0.5) != main) continue;
        if (horizontal ? std::abs(s.y1 - y1) > kTol || std::abs(s.y2 - y1) > kTol
                       : std::abs(s.x1 - x1) > kTol || std::abs(s.x2 - x1) > kTol)
            continue;
        spans.push_back(horizontal ? std::minmax(s.x1, s.x2) : std::minmax(s.y1, s.y2));
    }
    std::sort(spans.begin(), spans.end());
    const double from = horizontal ? std::min(x1, x2) : std::min(y1, y2);
    const double to = horizontal ? std::max(x1, x2) : std::max(y1, y2);
    double reached = from + kTol;
    for (const auto& [lo, hi] : spans)
        if (lo <= reached + kTol) reached = std::max(reached, hi);
    return reached >= to - kTol;
}

const Word* Find(const std::vector<Word>& words, const std::string& text) {
    for (const Word& w : words)
        if (w.text == text) return &w;
    return nullptr;
}

/// Whether a word stands inside a field: its box horizontally, its middle vertically.
bool Inside(const Word& w, double x1, double y1, double x2, double y2) {
    const double mid = (w.y1 + w.y2) / 2;
    return w.x1 >= x1 - 0.1 && w.x2 <= x2 + 0.1 && mid >= y1 && mid <= y2;
}

/// A document of the demo: its sheet, the first page it has in the one PDF.
struct Printed {
    std::string sheet;
    std::int32_t state;
    int firstPage;
    int pages;
};

class RenderedDemo : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!HavePoppler()) return;
        dir_ = (fs::temp_directory_path() / ("ormelin-render-" + std::to_string(getpid()))).string();
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        const std::string bin = std::string(ORMELIN_BINARY_DIR) + "/ormelin";
        ASSERT_EQ(std::system((bin + " demo " + Quote(dir_ + "/demo") + " > /dev/null 2>&1").c_str()), 0);
        book_ = dir_ + "/demo/ormelin-demo.xlsx";
        pdf_ = dir_ + "/all.pdf";
        const std::string err = dir_ + "/err.txt";
        ASSERT_EQ(std::system(("LC_ALL=C.UTF-8 LANGUAGE= " + bin + " pdf " + Quote(book_) + " " + Quote(pdf_) +
                               " --all 2> " + Quote(err))
                                  .c_str()),
                  0)
            << Bytes(err);
        stderr_ = Bytes(err);
        int page = 1;
        auto ui = std::make_shared<ormelin::model::ScriptedUi>();
        ormelin::model::ModelApplication app(ui);
        auto wb = ormelin::xlsx::LoadWorkbook(app, book_, nullptr);
        for (const char* name : {"АБВГ.436234.001", "АБВГ.436234.001 ПЭ3", "АБВГ.436234.001 ВН",
                                 "АБВГ.436234.001 ВЭ", "АБВГ.436234.001 ВП", "АБВГ.436234.002"}) {
            auto ws = wb->Sheet(name);
            const auto state = StateOfSheet(name);
            const int pages = ormelin::render::PageCount(*ws, state);
            docs_.push_back({name, state, page, pages});
            page += pages;
        }
    }
    static void TearDownTestSuite() {
        if (!dir_.empty()) fs::remove_all(dir_);
    }
    void SetUp() override {
        if (!HavePoppler()) GTEST_SKIP() << "poppler-utils is not installed";
        // A demo that could not be made or printed fails every test, never skips it.
        ASSERT_EQ(docs_.size(), 6u) << "the demo was not printed: " << stderr_;
    }

    static std::int32_t StateOfSheet(const std::string& name) {
        if (name.ends_with("ПЭ3")) return ormelin::ksPE_OF;
        if (name.ends_with("ВН")) return ormelin::ksVN_OF;
        if (name.ends_with("ВЭ")) return ormelin::ksVE_OF;
        if (name.ends_with("ВП")) return ormelin::ksVPA_OF;
        if (name.ends_with("002")) return ormelin::ksSPB_OF;
        return ormelin::ksSPA_OF;
    }
    static const Printed& Doc(std::int32_t state) {
        for (const Printed& d : docs_)
            if (d.state == state) return d;
        throw std::runtime_error("no such document");
    }

    static std::string dir_, book_, pdf_, stderr_;
    static std::vector<Printed> docs_;
};

std::string RenderedDemo::dir_, RenderedDemo::book_, RenderedDemo::pdf_, RenderedDemo::stderr_;
std::vector<Printed> RenderedDemo::docs_;

// The A4 frame 185 x 287 mm at 20 mm left and 5 mm elsewhere (GOST 2.301, 2.104),
// form 2 on a first sheet and form 2a on a further one, the binding-margin columns,
// the tables' columns at the standards' widths; main lines at least 0.5 mm, thin
// ones at most half of that.
TEST_F(RenderedDemo, LinesStandAtTheStandardsMillimetresAndWeights) {
    struct Case {
        std::int32_t state;
        double left, top, width, height;  // the frame
        double title;                     // the title block's left edge
        std::vector<double> columns;      // the table's column lines, mm from the frame's left
        double headBottom;                // mm from the frame's top
    };
    const std::vector<Case> cases = {
        {ormelin::ksSPA_OF, 20, 5, 185, 287, 20, {6, 12, 20, 90, 153, 163}, 15},  // GOST 2.106 form 1
        {ormelin::ksPE_OF, 20, 5, 185, 287, 20, {20, 130, 140}, 15},             // GOST 2.701
        {ormelin::ksVN_OF, 20, 5, 185, 287, 20, {}, 15},
        {ormelin::ksVE_OF, 20, 5, 185, 287, 20, {}, 15},
        // GOST 2.106 form 5: 7, 60, 45, 70, 55, 70, 4 x 16, 24
        {ormelin::ksVPA_OF, 20, 5, 395, 287, 230, {7, 67, 112, 182, 237, 307, 323, 339, 355, 371}, 15},
        // bound at the top: the frame at 20 mm from the top edge
        {ormelin::ksSPB_OF, 5, 20, 287, 185, 107, {6, 12, 20, 90, 153}, 15},
    };
    const std::string scratch = dir_;
    for (const Case& c : cases) {
        const Printed& d = Doc(c.state);
        for (int k = 0; k < std::min(2, d.pages); ++k) {
            SCOPED_TRACE(d.sheet + (k ? ", further sheet" : ", first sheet"));
            const auto lines = LinesOf(pdf_, d.firstPage + k, scratch);
            ASSERT_FALSE(lines.empty());
            double main = 0, widest = 0;  // the widest line, the widest thin one
            for (const Segment& s : lines) {
                main = std::max(main, s.width);
                if (s.width < 0.5) widest = std::max(widest, s.width);
            }
            EXPECT_GE(main, 0.5);
            EXPECT_LE(main, 1.4);
            EXPECT_LE(widest, main / 2) << "a thin line wider than half the main line";
            const double L = c.left, T = c.top, R = c.left + c.width, B = c.top + c.height;
            EXPECT_TRUE(HasLine(lines, L, T, R, T, true)) << "frame top";
            EXPECT_TRUE(HasLine(lines, L, B, R, B, true)) << "frame bottom";
            EXPECT_TRUE(HasLine(lines, L, T, L, B, true)) << "frame left";
            EXPECT_TRUE(HasLine(lines, R, T, R, B, true)) << "frame right";
            const double tx = c.title;
            const double top = B - (k == 0 ? 40 : 15);  // form 2 / form 2a
            EXPECT_TRUE(HasLine(lines, tx, top, R, top, true)) << "title block's top";
            for (double x : {7.0, 17.0, 40.0, 55.0, 65.0})
                EXPECT_TRUE(HasLine(lines, tx + x, top, tx + x, x == 7.0 && k == 0 ? top + 15 : B, true))
                    << "title block's column at " << x;
            if (k == 0) {
                EXPECT_TRUE(HasLine(lines, tx + 65, top + 15, R, top + 15, true)) << "under the designation";
                EXPECT_TRUE(HasLine(lines, tx + 135, top + 15, tx + 135, B, true)) << "beside the name";
                EXPECT_TRUE(HasLine(lines, tx + 135, top + 20, R, top + 20, true)) << "under Лит., Лист, Листов";
                EXPECT_TRUE(HasLine(lines, tx + 150, top + 15, tx + 150, top + 25, true)) << "\"Лист\" 15 mm";
                EXPECT_TRUE(HasLine(lines, tx + 165, top + 15, tx + 165, top + 25, true)) << "\"Листов\" 20 mm";
                EXPECT_TRUE(HasLine(lines, tx, top + 5, tx + 65, top + 5, false)) << "a change row's thin line";
            } else {
                EXPECT_TRUE(HasLine(lines, tx + 175, top, tx + 175, B, true)) << "form 2a's \"Лист\" 10 mm";
                EXPECT_TRUE(HasLine(lines, tx + 175, top + 7, R, top + 7, true)) << "its label 7 mm high";
            }
            for (double x : c.columns)
                EXPECT_TRUE(HasLine(lines, L + x, T + c.headBottom, L + x, T + c.headBottom + 8, true))
                    << "table column at " << x;
            EXPECT_TRUE(HasLine(lines, L, T + c.headBottom, R, T + c.headBottom, true)) << "under the head";
            EXPECT_TRUE(HasLine(lines, L, T + c.headBottom + 8, R, T + c.headBottom + 8, false)) << "a row of 8 mm";
            if (c.state != ormelin::ksSPB_OF) {
                // the binding margin's columns 5 + 7 mm: "Инв. № подл." 25 mm, "Подп. и дата" 35 mm
                EXPECT_TRUE(HasLine(lines, L - 12, B - 25, L - 12, B, true)) << "binding margin";
                EXPECT_TRUE(HasLine(lines, L - 7, B - 25, L - 7, B, true));
                EXPECT_TRUE(HasLine(lines, L - 12, B - 25, L, B - 25, true));
                EXPECT_TRUE(HasLine(lines, L - 12, B - 60, L, B - 60, true));
                EXPECT_TRUE(HasLine(lines, L - 12, B - 145, L, B - 145, true));
            } else {
                EXPECT_TRUE(HasLine(lines, L, T - 12, L + 145, T - 12, true)) << "binding margin along the top";
                EXPECT_TRUE(HasLine(lines, L + 25, T - 12, L + 25, T, true));
            }
        }
    }
}

// Every word stands inside its field: the title block's fields where form 2 puts
// them, and no word of any page runs across a line of the form unless it is a text
// `ormelin pdf` named as cut.
TEST_F(RenderedDemo, TextsStayInsideTheirFieldsOrAreNamedAsCut) {
    const std::string scratch = dir_;
    const Printed& spa = Doc(ormelin::ksSPA_OF);
    const auto first = WordsOf(pdf_, spa.firstPage, scratch);
    const double top = 292 - 40;
    const Word* w = Find(first, "Разраб.");
    ASSERT_TRUE(w);
    EXPECT_TRUE(Inside(*w, 20, top + 15, 37, top + 20)) << w->x1 << " " << w->y1;
    ASSERT_TRUE((w = Find(first, "Лит.")));
    EXPECT_TRUE(Inside(*w, 20 + 135, top + 15, 20 + 150, top + 20));
    ASSERT_TRUE((w = Find(first, "Листов")));
    EXPECT_TRUE(Inside(*w, 20 + 165, top + 15, 205, top + 20));
    const Word* designation = nullptr;  // the widest of the words that read so
    for (const Word& word : first)
        if (word.text == "АБВГ.436234.001" && (!designation || word.x2 - word.x1 > designation->x2 - designation->x1))
            designation = &word;
    ASSERT_TRUE(designation);
    EXPECT_TRUE(Inside(*designation, 20 + 65, top, 205, top + 15)) << "the designation";
    ASSERT_TRUE((w = Find(first, "Копировал:")));
    EXPECT_GT((w->y1 + w->y2) / 2, 292.0) << "the bottom line stands under the frame";

    std::set<std::string> cut;  // the texts named on standard error, by word
    static const std::regex named(R"(: \"([^\"]*)\" is [0-9.]+ mm wide)");
    for (auto it = std::sregex_iterator(stderr_.begin(), stderr_.end(), named); it != std::sregex_iterator(); ++it) {
        std::istringstream in((*it)[1].str());
        for (std::string word; in >> word;) cut.insert(word);
    }
    EXPECT_FALSE(cut.empty()) << "the demo has texts wider than their fields: " << stderr_;
    int checked = 0;
    for (const Printed& d : docs_) {
        for (int k = 0; k < std::min(2, d.pages); ++k) {
            SCOPED_TRACE(d.sheet + " page " + std::to_string(d.firstPage + k));
            const auto lines = LinesOf(pdf_, d.firstPage + k, scratch);
            const auto words = WordsOf(pdf_, d.firstPage + k, scratch);
            // The box of an upright word is as high as its size's font box; a turned
            // word's is as wide. The heights of the words plainly upright tell them.
            std::vector<double> heights;
            for (const Word& word : words)
                if (word.x2 - word.x1 > 2 * (word.y2 - word.y1)) heights.push_back(word.y2 - word.y1);
            auto isHeight = [&](double v) {
                return std::any_of(heights.begin(), heights.end(), [&](double h) { return std::abs(h - v) < 0.05; });
            };
            for (const Word& word : words) {
                if (!isHeight(word.y2 - word.y1) || isHeight(word.x2 - word.x1)) continue;  // turned, or either
                ++checked;
                const double mid = (word.y1 + word.y2) / 2;
                for (const Segment& s : lines) {
                    const bool vertical = std::abs(s.x1 - s.x2) < 0.01;
                    // a line through the word, past its ends' margin
                    const bool crosses = vertical && s.x1 > word.x1 + 0.3 && s.x1 < word.x2 - 0.3 &&
                                         std::min(s.y1, s.y2) < mid && std::max(s.y1, s.y2) > mid;
                    if (crosses) {
                        EXPECT_TRUE(cut.count(word.text)) << "\"" << word.text << "\" runs across a line at "
                                                          << s.x1 << ", " << s.y1 << " and was not named as cut";
                        break;
                    }
                }
            }
        }
    }
    EXPECT_GT(checked, 400);
}

// The listing of texts that will be cut, without drawing, names what the print
// names; a text a little too wide is condensed into its field, one far too wide is
// condensed to 80 % and cut, and the print's words show both.
TEST_F(RenderedDemo, WideTextsAreCondensedToEightyPercentThenCutAndListed) {
    auto ui = std::make_shared<ormelin::model::ScriptedUi>();
    ormelin::model::ModelApplication app(ui);
    auto wb = ormelin::xlsx::LoadWorkbook(app, book_, nullptr);
    std::set<std::string> listed;
    for (const Printed& d : docs_)
        for (const auto& c : ormelin::render::ClippedTexts(*wb->Sheet(d.sheet), d.state)) {
            EXPECT_GT(c.neededMm * 0.8, c.availableMm) << c.text;
            listed.insert(d.sheet + " " + c.cell);
        }
    std::set<std::string> printed;
    static const std::regex named(R"re(sheet "([^"]*)", cell ([A-Z]+[0-9]+))re");
    for (auto it = std::sregex_iterator(stderr_.begin(), stderr_.end(), named); it != std::sregex_iterator(); ++it)
        printed.insert((*it)[1].str() + " " + (*it)[2].str());
    EXPECT_EQ(listed, printed);

    // The name field of the specification's first list row (P2, 63 mm): a word
    // 10 % too wide and one 60 % too wide.
    auto ws = wb->Sheet("АБВГ.436234.001");
    const double em = 3.5 / *ormelin::measure::CapHeightPerEm(*ormelin::measure::FormFontFile());
    const auto measure = ormelin::measure::FormMeasure(10);
    auto widthMm = [&](const std::string& s) { return measure(s) / 10 * em; };
    auto wordOf = [&](double mm) {
        std::string s = "Ш";
        while (widthMm(s) < mm) s += "Ш";
        return s;
    };
    const double field = 63 - 1.6;
    const std::string slightly = wordOf(field * 1.1), far = wordOf(field * 1.6);
    ws->SetLiteral({2, 16, 2, 16}, slightly);
    ws->SetLiteral({3, 16, 3, 16}, far);
    const auto clipped = ormelin::render::ClippedTexts(*ws, ormelin::ksSPA_OF);
    std::set<std::string> cells;
    for (const auto& c : clipped) cells.insert(c.cell);
    EXPECT_FALSE(cells.count("P2")) << "condensed into its field";
    EXPECT_TRUE(cells.count("P3")) << "too wide even condensed";
    const std::string out = dir_ + "/wide.pdf";
    ormelin::render::PrintPdf({{ws, ormelin::ksSPA_OF}}, out, {}, false);
    const auto words = WordsOf(out, 1, dir_);
    const Word* a = Find(words, slightly);
    const Word* b = Find(words, far);
    ASSERT_TRUE(a && b);
    EXPECT_LE(a->x2 - a->x1, field + 0.2);
    EXPECT_GE(a->x2 - a->x1, widthMm(slightly) * 0.8 - 0.2);
    EXPECT_NEAR(b->x2 - b->x1, widthMm(far) * 0.8, 0.5) << "condensed to 80 %, no more";
}

// The file is one readers take without complaint, with the drafting font embedded
// once as a subset that maps back to text; every character the forms are written
// in reads back as it was written, and the same print makes the same bytes.
TEST_F(RenderedDemo, TheFontIsEmbeddedOnceAndEveryCharacterReadsBack) {
    const std::string fonts = dir_ + "/fonts.txt", err = dir_ + "/fonts-err.txt";
    ASSERT_EQ(std::system(("pdffonts " + Quote(pdf_) + " > " + Quote(fonts) + " 2> " + Quote(err)).c_str()), 0);
    EXPECT_EQ(Bytes(err), "");
    const std::string listed = Bytes(fonts);
    static const std::regex font(R"(\n[A-Z]{6}\+[A-Za-z]+ +CID TrueType +Identity-H +yes yes yes +[0-9]+ +0\n)");
    EXPECT_TRUE(std::regex_search(listed, font)) << listed;
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 3) << "one font: " << listed;
    for (const std::string& run : {"pdfinfo " + Quote(pdf_), "pdftotext " + Quote(pdf_) + " -"}) {
        ASSERT_EQ(std::system((run + " > /dev/null 2> " + Quote(err)).c_str()), 0) << run;
        EXPECT_EQ(Bytes(err), "") << run;
    }
    if (std::system("command -v qpdf > /dev/null 2>&1") == 0) {
        EXPECT_EQ(std::system(("qpdf --check " + Quote(pdf_) + " > /dev/null").c_str()), 0);
    }

    // every letter, digit and mark of the forms, in words that fit the name field
    std::string all = "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдеёжзийклмнопрстуфхцчшщъыьэюя"
                      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
                      ".,;:!?()[]{}<>\"'«»“”„‘’…−‐-–—+=*/\\_%№§°±×~^&#@$|";
    std::vector<std::string> chunks;
    ormelin::measure::ForEachCodePoint(all, [&, n = 0](char32_t cp) mutable {
        if (n++ % 12 == 0) chunks.emplace_back();
        std::string& c = chunks.back();
        if (cp < 0x80) {
            c += static_cast<char>(cp);
        } else if (cp < 0x800) {
            c += static_cast<char>(0xC0 | (cp >> 6));
            c += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            c += static_cast<char>(0xE0 | (cp >> 12));
            c += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            c += static_cast<char>(0x80 | (cp & 0x3F));
        }
    });
    auto ui = std::make_shared<ormelin::model::ScriptedUi>();
    ormelin::model::ModelApplication app(ui);
    auto wb = ormelin::xlsx::LoadWorkbook(app, book_, nullptr);
    auto ws = wb->Sheet("АБВГ.436234.001");
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        const int row = 4 + static_cast<int>(i);
        ws->SetLiteral({row, 16, row, 16}, chunks[i]);
    }
    const std::string one = dir_ + "/chars.pdf", two = dir_ + "/chars-again.pdf", text = dir_ + "/chars.txt";
    setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    ormelin::render::PrintPdf({{ws, ormelin::ksSPA_OF}}, one, {"Т", "", ""}, true);
    ormelin::render::PrintPdf({{ws, ormelin::ksSPA_OF}}, two, {"Т", "", ""}, true);
    unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_EQ(Bytes(one), Bytes(two)) << "the same print, other bytes";
    ASSERT_EQ(std::system(("pdftotext -raw -f 1 -l 1 " + Quote(one) + " " + Quote(text)).c_str()), 0);
    const std::string read = Bytes(text);
    for (const std::string& c : chunks) EXPECT_NE(read.find(c), std::string::npos) << c << " not read back";
}

#ifdef ORMELIN_DRAFTING_FONT
// The subset keeps the glyphs asked for, and a composite glyph's components, with
// their outlines and ids, empties the rest, and is a font FreeType loads, whose
// checksums hold.
TEST(FontSubset, KeepsTheGlyphsAskedForAndTheirComponentsUnderTheirIds) {
    const std::string file = ORMELIN_DRAFTING_FONT;
    FT_Library lib = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&lib), 0);
    FT_Face whole = nullptr;
    ASSERT_EQ(FT_New_Face(lib, file.c_str(), 0, &whole), 0);
    // a composite glyph among the accented Latin letters
    FT_UInt composite = 0;
    std::vector<FT_UInt> components;
    for (char32_t cp = 0xC0; cp < 0x180 && !composite; ++cp) {
        const FT_UInt g = FT_Get_Char_Index(whole, cp);
        if (g && FT_Load_Glyph(whole, g, FT_LOAD_NO_SCALE | FT_LOAD_NO_RECURSE) == 0 &&
            whole->glyph->format == FT_GLYPH_FORMAT_COMPOSITE) {
            composite = g;
            for (FT_UInt i = 0; i < whole->glyph->num_subglyphs; ++i) {
                FT_Int index = 0, a1 = 0, a2 = 0;
                FT_UInt flags = 0;
                FT_Matrix m{};
                ASSERT_EQ(FT_Get_SubGlyph_Info(whole->glyph, i, &index, &flags, &a1, &a2, &m), 0);
                components.push_back(static_cast<FT_UInt>(index));
            }
        }
    }
    ASSERT_NE(composite, 0u) << "the font has no composite accented letter to test with";
    const FT_UInt zhe = FT_Get_Char_Index(whole, U'Ж'), ya = FT_Get_Char_Index(whole, U'Я');
    ASSERT_TRUE(zhe && ya);
    auto points = [](FT_Face face, FT_UInt g) {
        return FT_Load_Glyph(face, g, FT_LOAD_NO_SCALE) == 0 ? face->glyph->outline.n_points : -1;
    };

    const ormelin::render::TrueTypeFont font(file);
    EXPECT_GT(font.Facts().capHeight, 0);
    EXPECT_EQ(font.Facts().unitsPerEm, whole->units_per_EM);
    const std::string subset = font.Subset({zhe, composite});
    EXPECT_LT(subset.size(), fs::file_size(file) / 4);
    std::uint32_t sum = 0;  // the whole file's checksum, as "head" settles it
    for (std::size_t i = 0; i + 4 <= subset.size(); i += 4)
        sum += static_cast<std::uint32_t>(static_cast<unsigned char>(subset[i])) << 24 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(subset[i + 1])) << 16 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(subset[i + 2])) << 8 |
               static_cast<unsigned char>(subset[i + 3]);
    EXPECT_EQ(subset.size() % 4, 0u);
    EXPECT_EQ(sum, 0xB1B0AFBAu);

    FT_Face cut = nullptr;
    ASSERT_EQ(FT_New_Memory_Face(lib, reinterpret_cast<const FT_Byte*>(subset.data()),
                                 static_cast<FT_Long>(subset.size()), 0, &cut),
              0);
    EXPECT_EQ(cut->num_glyphs, whole->num_glyphs);
    EXPECT_EQ(points(cut, zhe), points(whole, zhe));
    EXPECT_GT(points(cut, zhe), 0);
    EXPECT_EQ(points(cut, composite), points(whole, composite));
    for (FT_UInt c : components) EXPECT_EQ(points(cut, c), points(whole, c)) << "component " << c;
    EXPECT_EQ(points(cut, ya), 0) << "a glyph not asked for stays, empty";
    EXPECT_GT(points(whole, ya), 0);
    EXPECT_NE(ormelin::render::SubsetTag({zhe, composite}), ormelin::render::SubsetTag({zhe}));
    FT_Done_Face(cut);
    FT_Done_Face(whole);
    FT_Done_FreeType(lib);
}
#endif

// One file for the workbook: a bookmark per document with its designation and
// name, pointing at its first page, and the file's title, subject and creator.
TEST_F(RenderedDemo, TheFileHasABookmarkPerDocumentAndSaysWhatItIs) {
    const std::string bytes = Bytes(pdf_);
    std::vector<std::string> titles;  // the outline's titles, UTF-16BE in hexadecimal
    for (std::size_t at = bytes.find("/Title <FEFF"); at != std::string::npos; at = bytes.find("/Title <FEFF", at + 1)) {
        std::string title;
        for (std::size_t i = at + 12; i + 4 <= bytes.size() && bytes[i] != '>'; i += 4) {
            const unsigned cp = static_cast<unsigned>(std::stoul(bytes.substr(i, 4), nullptr, 16));
            if (cp < 0x80) {
                title += static_cast<char>(cp);
            } else {
                title += static_cast<char>(0xC0 | (cp >> 6));
                title += static_cast<char>(0x80 | (cp & 0x3F));
            }
        }
        titles.push_back(title);
    }
    ASSERT_EQ(titles.size(), docs_.size());
    for (std::size_t i = 0; i < docs_.size(); ++i) {
        EXPECT_EQ(titles[i].rfind(docs_[i].sheet + " ", 0), 0u) << titles[i];
        EXPECT_NE(titles[i].find("Блок питания"), std::string::npos) << titles[i];
    }
    const std::string info = dir_ + "/info.txt";
    ASSERT_EQ(std::system(("pdfinfo " + Quote(pdf_) + " > " + Quote(info)).c_str()), 0);
    const std::string said = Bytes(info);
    EXPECT_NE(said.find("Title:           ormelin-demo"), std::string::npos) << said;
    EXPECT_NE(said.find("Subject:         specification, list of elements"), std::string::npos) << said;
    EXPECT_NE(said.find("Creator:         ormelin "), std::string::npos) << said;
    int pages = 0;
    for (const Printed& d : docs_) pages += d.pages;
    EXPECT_NE(said.find("Pages:           " + std::to_string(pages) + "\n"), std::string::npos) << said;
}

// A run that cannot print leaves an earlier PDF as it was and says why; the
// workbook is only read.
TEST_F(RenderedDemo, AFailedPrintLeavesTheEarlierPdfAndTheWorkbook) {
    const std::string bin = std::string(ORMELIN_BINARY_DIR) + "/ormelin";
    const std::string out = dir_ + "/earlier.pdf", err = dir_ + "/failed.txt";
    ASSERT_EQ(std::system((bin + " pdf " + Quote(book_) + " " + Quote("АБВГ.436234.001") + " " + Quote(out) +
                           " 2>/dev/null").c_str()),
              0);
    const std::string earlier = Bytes(out), workbook = Bytes(book_);
    auto run = [&](const std::string& args) {
        const int status = std::system((bin + " pdf " + args + " 2> " + Quote(err)).c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run(Quote(book_) + " список " + Quote(out)), 1);  // the register is no formed document
    EXPECT_NE(Bytes(err).find("not a formed document"), std::string::npos) << Bytes(err);
    EXPECT_EQ(run(Quote(book_) + " " + Quote("АБВГ.436234.001") + " " + Quote(out) + " --all"), 2);
    EXPECT_EQ(run(Quote(book_) + " " + Quote(out)), 2);  // no sheet, no --all
    EXPECT_EQ(Bytes(out), earlier);
    EXPECT_EQ(Bytes(book_), workbook);
    for (const auto& entry : fs::directory_iterator(dir_))
        EXPECT_EQ(entry.path().filename().string().find("earlier.pdf."), std::string::npos) << "a temporary file left";
}

TEST_F(RenderedDemo, APrintGetsTheUsersModeOrKeepsTheModeOfTheFileItReplaces) {
    const std::string bin = std::string(ORMELIN_BINARY_DIR) + "/ormelin";
    const std::string out = dir_ + "/mode.pdf";
    auto print = [&] {
        return std::system((bin + " pdf " + Quote(book_) + " " + Quote("АБВГ.436234.001") + " " + Quote(out) +
                            " 2>/dev/null").c_str());
    };
    auto mode = [&] { return fs::status(out).permissions() & fs::perms::all; };
    const mode_t mask = umask(0);
    umask(mask);
    ASSERT_EQ(print(), 0);
    EXPECT_EQ(static_cast<unsigned>(mode()), 0666u & ~static_cast<unsigned>(mask)) << "a new PDF is not made as the user's umask says";
    fs::permissions(out, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(print(), 0);
    EXPECT_EQ(static_cast<unsigned>(mode()), 0640u) << "printing again changed the file's mode";
}

// A picture of each kind's first and further sheet (the demo's lists of documents
// have one sheet each) at 100 dpi without anti-aliasing, compared with the
// reviewed one; ORMELIN_UPDATE_PICTURES=1 writes them anew (look at each before
// keeping it).
TEST_F(RenderedDemo, PagesLookAsReviewed) {
    const std::string reference = std::string(ORMELIN_SOURCE_DIR) + "/tests/render/reference";
    const bool update = std::getenv("ORMELIN_UPDATE_PICTURES") != nullptr;
    const std::map<std::int32_t, std::string> names = {
        {ormelin::ksSPA_OF, "spa"}, {ormelin::ksPE_OF, "pe"},   {ormelin::ksVN_OF, "vn"},
        {ormelin::ksVE_OF, "ve"},   {ormelin::ksVPA_OF, "vpa"}, {ormelin::ksSPB_OF, "spb"}};
    for (const Printed& d : docs_) {
        for (int k = 0; k < std::min(2, d.pages); ++k) {
            const std::string name = names.at(d.state) + (k ? "-further" : "-first");
            SCOPED_TRACE(name);
            const std::string made = dir_ + "/" + name;
            const std::string cmd = "pdftoppm -r 100 -gray -aa no -aaVector no -png -singlefile -f " + std::to_string(d.firstPage + k) +
                                    " -l " + std::to_string(d.firstPage + k) + " " + Quote(pdf_) + " " + Quote(made);
            ASSERT_EQ(std::system(cmd.c_str()), 0);
            const std::string kept = reference + "/" + name + ".png";
            if (update) fs::copy_file(made + ".png", kept, fs::copy_options::overwrite_existing);
            cairo_surface_t* now = cairo_image_surface_create_from_png((made + ".png").c_str());
            cairo_surface_t* then = cairo_image_surface_create_from_png(kept.c_str());
            ASSERT_EQ(cairo_surface_status(then), CAIRO_STATUS_SUCCESS) << kept << " is missing";
            ASSERT_EQ(cairo_surface_status(now), CAIRO_STATUS_SUCCESS);
            cairo_surface_flush(now);
            cairo_surface_flush(then);
            const int w = cairo_image_surface_get_width(now), h = cairo_image_surface_get_height(now);
            ASSERT_EQ(w, cairo_image_surface_get_width(then));
            ASSERT_EQ(h, cairo_image_surface_get_height(then));
            const auto format = cairo_image_surface_get_format(now);
            ASSERT_EQ(format, cairo_image_surface_get_format(then));
            const int bytes = format == CAIRO_FORMAT_A8 ? 1 : 4;
            long differing = 0, inked = 0;
            for (int y = 0; y < h; ++y) {
                const unsigned char* a = cairo_image_surface_get_data(now) + y * cairo_image_surface_get_stride(now);
                const unsigned char* b = cairo_image_surface_get_data(then) + y * cairo_image_surface_get_stride(then);
                for (int x = 0; x < w; ++x) {
                    const int va = a[x * bytes], vb = b[x * bytes];
                    if (vb < 128) ++inked;
                    if (std::abs(va - vb) > 96) ++differing;
                }
            }
            cairo_surface_destroy(now);
            cairo_surface_destroy(then);
            EXPECT_GT(inked, static_cast<long>(w) * h / 200) << "the reviewed picture is nearly blank";
            EXPECT_LT(differing, inked / 50) << differing << " of " << inked << " inked pixels differ";
        }
    }
}

}  // namespace
