// The PDF writer: the laid-out pages written as PDF page descriptions of our own,
// in points, with the drafting font embedded once as a subset (a CID-keyed
// TrueType font, glyphs named by their ids, a ToUnicode map for the text layer).
//
// A page is the form's lines, stroked in two passes (thin, then main with square
// ends, so a main line over a thin one stays main), and the texts: the size and
// condensing set when they change, each line placed by a text matrix turned for
// its direction or moved from the line before, and its glyph ids; a text cut at
// its field's edges is drawn inside a clip of the field. The page space is turned
// upside down once (y downwards from the paper's top edge, as the layout's
// millimetres run). The lines of the sheets of a kind are alike and are written
// once, as a form XObject the pages draw. Numbers are written with a fixed number
// of decimals by integer arithmetic (no formatted printing per number). Streams
// are deflated at zlib's level 1, the pages' on a second thread while the pages
// after them are described (docs/performance.md, "Printing to PDF").
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "measure/text_measure.hpp"
#include "render/font_subset.hpp"
#include "render/layout.hpp"
#include "render/render.hpp"

namespace ormelin::render {

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
/// zlib's level for the page descriptions and the font: on the 691 sheets of a
/// 20,000-row specification level 1 takes 52 ms where level 6 takes 80 ms (a
/// tenth of the whole command) for a file a fifth larger (0.83 MB against 0.67).
constexpr int kDeflateLevel = 1;

/// Appends v with `decimals` decimals (at most 6), the trailing zeros left off.
void Number(std::string& out, double v, int decimals) {
    static constexpr long long kScale[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
    const long long scale = kScale[decimals];
    long long n = std::llround(v * static_cast<double>(scale));
    if (n < 0) {
        out += '-';
        n = -n;
    }
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, n / scale);
    out.append(buf, r.ptr);
    long long frac = n % scale;
    if (frac == 0) return;
    int digits = decimals;
    while (frac % 10 == 0) frac /= 10, --digits;
    out += '.';
    char f[8];
    r = std::to_chars(f, f + sizeof f, frac);
    out.append(static_cast<std::size_t>(digits - (r.ptr - f)), '0');
    out.append(f, r.ptr);
}

void Integer(std::string& out, long long v) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

/// A coordinate, mm, in points to a hundredth.
void Pt(std::string& out, double mm) {
    Number(out, mm * kPointsPerMm, 2);
    out += ' ';
}

constexpr char kHex[] = "0123456789ABCDEF";

void Hex16(std::string& out, std::uint32_t v) {
    out += kHex[(v >> 12) & 0xF];
    out += kHex[(v >> 8) & 0xF];
    out += kHex[(v >> 4) & 0xF];
    out += kHex[v & 0xF];
}

/// A code point as UTF-16BE in hexadecimal.
void Utf16Hex(std::string& out, char32_t cp) {
    if (cp > 0xFFFF && cp <= 0x10FFFF) {
        cp -= 0x10000;
        Hex16(out, 0xD800 + (cp >> 10));
        Hex16(out, 0xDC00 + (cp & 0x3FF));
    } else {
        Hex16(out, cp > 0x10FFFF ? 0xFFFD : cp);
    }
}

/// A text string of the document's own (outline, information): a literal string
/// when it is printable ASCII, else UTF-16BE with its byte order mark.
std::string TextString(const std::string& s, bool alwaysUnicode) {
    bool ascii = !alwaysUnicode;
    for (char c : s) ascii = ascii && c >= ' ' && c < 0x7F;
    std::string out;
    if (ascii) {
        out += '(';
        for (char c : s) {
            if (c == '(' || c == ')' || c == '\\') out += '\\';
            out += c;
        }
        out += ')';
        return out;
    }
    out = "<FEFF";
    measure::ForEachCodePoint(s, [&](char32_t cp) { Utf16Hex(out, cp); });
    out += '>';
    return out;
}

/// The glyphs the pages use, with the character each first stood for.
struct UsedGlyphs {
    std::vector<char32_t> unicode;  // by glyph id; 0 when not used (a used glyph for U+0000 is not mapped)
    std::vector<bool> used;
    void Mark(std::uint32_t glyph, char32_t cp) {
        if (glyph >= used.size()) {
            used.resize(glyph + 1, false);
            unicode.resize(glyph + 1, 0);
        }
        if (!used[glyph]) {
            used[glyph] = true;
            unicode[glyph] = cp;
        }
    }
};

/// Writes the page descriptions of laid-out pages: the form's lines apart (the
/// sheets of a kind share theirs, drawn once as a form XObject) and the texts.
class PageWriter {
public:
    PageWriter(const measure::FontGlyphs& glyphs, UsedGlyphs& used) : glyphs_(glyphs), used_(used) {}

    /// The page's lines in `out` (cleared first), in the page's space (y downwards).
    void Lines(const PageLayout& page, std::string& out) {
        out.clear();
        for (int pass = 0; pass < 2; ++pass) {
            const bool main = pass == 1;
            bool any = false;
            for (const auto& l : page.lines) {
                if (l.main != main) continue;
                if (!any) {
                    Pt(out, main ? page.lineMain : page.lineThin);
                    out += main ? "w 2 J\n" : "w 0 J\n";
                    any = true;
                }
                Pt(out, l.x1);
                Pt(out, l.y1);
                out += "m ";
                Pt(out, l.x2);
                Pt(out, l.y2);
                out += "l\n";
            }
            if (any) out += "S\n";
        }
    }

    /// The page's texts in `out` (cleared first), in the page's space.
    void Texts(const PageLayout& page, std::string& out) {
        out.clear();
        size_ = tz_ = -1;  // a page begins with the text state unset
        bool open = false;
        for (const FieldText& f : page.texts) {
            if (f.cut) continue;
            for (const PlacedLine& l : f.lines) {
                if (l.text.empty()) continue;
                if (!open) {
                    Begin(out);
                    open = true;
                }
                Line(f, l, out);
            }
        }
        if (open) out += "ET\n";
        for (const FieldText& f : page.texts) {
            if (!f.cut) continue;
            out += "q ";
            Pt(out, f.x);
            Pt(out, f.y);
            Pt(out, f.w);
            Pt(out, f.h);
            out += "re W n ";
            Begin(out);
            for (const PlacedLine& l : f.lines)
                if (!l.text.empty()) Line(f, l, out);
            out += "ET Q\n";
            size_ = tz_ = -1;  // the text state goes with the graphics state
        }
    }

private:
    void Begin(std::string& out) {
        out += "BT\n";
        moved_ = false;
    }

    /// A line of a field's text: the font's size (Tf) and condensing (Tz) when
    /// they change, a text matrix turned for the direction with the line's origin
    /// (Tm), or a move from the line before in the same direction (Td), then the
    /// glyphs. Origins are kept in hundredths of a point, so the moves add up to
    /// the very origins a matrix would give.
    void Line(const FieldText& f, const PlacedLine& l, std::string& out) {
        const long long size = std::llround(f.em * kPointsPerMm * 10000), tz = std::llround(l.condense * 100000);
        if (size != size_) {
            out += "/F1 ";
            Number(out, static_cast<double>(size) / 10000, 4);
            out += " Tf\n";
            size_ = size;
        }
        if (tz != tz_) {
            Number(out, static_cast<double>(tz) / 1000, 3);
            out += " Tz\n";
            tz_ = tz;
        }
        double x = f.x + l.x, y = f.y + l.baseline;  // the origin on the paper, mm
        if (f.rotation == 90) {  // reads upwards: the field's foot is the text's start
            x = f.x + l.baseline;
            y = f.y + f.h - l.x;
        } else if (f.rotation == -90) {  // reads downwards: its head is
            x = f.x + f.w - l.baseline;
            y = f.y + l.x;
        }
        const long long X = std::llround(x * kPointsPerMm * 100), Y = std::llround(y * kPointsPerMm * 100);
        if (moved_ && f.rotation == rotation_) {
            // the move in text space: x along the line, y up the glyphs
            long long dx = X - x_, dy = y_ - Y;  // upright (the page's y runs down)
            if (f.rotation == 90) {
                dx = y_ - Y;
                dy = x_ - X;
            } else if (f.rotation == -90) {
                dx = Y - y_;
                dy = X - x_;
            }
            Number(out, static_cast<double>(dx) / 100, 2);
            out += ' ';
            Number(out, static_cast<double>(dy) / 100, 2);
            out += " Td <";
        } else {
            out += f.rotation == 90 ? "0 -1 -1 0 " : f.rotation == -90 ? "0 1 1 0 " : "1 0 0 -1 ";
            Number(out, static_cast<double>(X) / 100, 2);
            out += ' ';
            Number(out, static_cast<double>(Y) / 100, 2);
            out += " Tm <";
            moved_ = true;
            rotation_ = f.rotation;
        }
        x_ = X;
        y_ = Y;
        measure::ForEachCodePoint(l.text, [&](char32_t cp) {
            const auto g = glyphs_.Of(cp);
            used_.Mark(g.id, cp);
            Hex16(out, g.id);
        });
        out += "> Tj\n";
    }

    const measure::FontGlyphs& glyphs_;
    UsedGlyphs& used_;
    long long size_ = -1, tz_ = -1;  // the text state set last
    bool moved_ = false;             // a text matrix set in this text object
    int rotation_ = 0;
    long long x_ = 0, y_ = 0;  // the last line's origin, hundredths of a point
};

std::string Deflate(const std::string& in) {
    uLongf size = compressBound(static_cast<uLong>(in.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(in.data()),
                  static_cast<uLong>(in.size()), kDeflateLevel) != Z_OK)
        throw std::runtime_error("zlib cannot deflate a page");
    out.resize(size);
    return out;
}

/// The PDF file as it is written: objects by number, their offsets, the
/// cross-reference table at the end.
class PdfFile {
public:
    explicit PdfFile(const std::string& path) : path_(path), file_(std::fopen(path.c_str(), "wb")) {
        if (!file_) throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
        // binary bytes in the header's comment tell transfer programs the file is binary
        Put("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    }
    ~PdfFile() {
        if (file_) std::fclose(file_);
    }
    PdfFile(const PdfFile&) = delete;
    PdfFile& operator=(const PdfFile&) = delete;

    /// A number for an object written later.
    int Reserve() {
        std::lock_guard lock(offsetsMutex_);  // the pages' writer may be placing an object meanwhile
        offsets_.push_back(0);
        return static_cast<int>(offsets_.size());
    }
    void Object(int number, const std::string& body) {
        Begin(number);
        Put(body);
        Put("\nendobj\n");
    }
    /// A stream object: its dictionary's entries besides /Length, and its bytes.
    void Stream(int number, const std::string& entries, const std::string& bytes) {
        Begin(number);
        std::string head = "<< /Length ";
        Integer(head, static_cast<long long>(bytes.size()));
        head += ' ';
        head += entries;
        head += " >>\nstream\n";
        Put(head);
        Put(bytes);
        Put("\nendstream\nendobj\n");
    }
    void Finish(int root, int info) {
        const long long xref = offset_;
        std::string t = "xref\n0 ";
        Integer(t, static_cast<long long>(offsets_.size()) + 1);
        t += "\n0000000000 65535 f \n";
        for (long long o : offsets_) {
            char line[] = "0000000000 00000 n \n";
            for (int i = 9; i >= 0 && o > 0; --i, o /= 10) line[i] = static_cast<char>('0' + o % 10);
            t.append(line, 20);
        }
        t += "trailer\n<< /Size ";
        Integer(t, static_cast<long long>(offsets_.size()) + 1);
        t += " /Root ";
        Integer(t, root);
        t += " 0 R /Info ";
        Integer(t, info);
        t += " 0 R >>\nstartxref\n";
        Integer(t, xref);
        t += "\n%%EOF\n";
        Put(t);
        std::FILE* f = file_;
        file_ = nullptr;
        if (std::fclose(f) != 0 || failed_) throw std::runtime_error("cannot write " + path_ + ": " + std::strerror(errno));
    }

private:
    void Begin(int number) {
        {
            std::lock_guard lock(offsetsMutex_);
            offsets_[static_cast<std::size_t>(number - 1)] = offset_;
        }
        std::string h;
        Integer(h, number);
        h += " 0 obj\n";
        Put(h);
    }
    void Put(const std::string& s) {
        if (std::fwrite(s.data(), 1, s.size(), file_) != s.size()) failed_ = true;
        offset_ += static_cast<long long>(s.size());
    }

    std::string path_;
    std::FILE* file_;
    std::mutex offsetsMutex_;
    std::vector<long long> offsets_;
    long long offset_ = 0;
    bool failed_ = false;
};

/// Writes the pages' objects on a second thread, deflating their streams there,
/// while the pages after them are described: the objects go into the file in
/// the order they were given. A failure stops the writing and is thrown by the
/// next call. Only the object numbers are shared with the file (Reserve).
class PageObjects {
public:
    explicit PageObjects(PdfFile& pdf) : pdf_(pdf), worker_([this] { Work(); }) {}
    ~PageObjects() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        worker_.join();
    }
    PageObjects(const PageObjects&) = delete;
    PageObjects& operator=(const PageObjects&) = delete;

    /// A stream object whose bytes are deflated before they are written.
    void Deflated(int number, std::string entries, std::string bytes) {
        Add(Job{number, true, std::move(entries), std::move(bytes)});
    }
    void Object(int number, std::string body) { Add(Job{number, false, {}, std::move(body)}); }
    /// Waits until everything given is in the file.
    void Finish() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return (jobs_.empty() && !busy_) || error_; });
        if (error_) std::rethrow_exception(error_);
    }

private:
    struct Job {
        int number;
        bool stream;
        std::string entries;
        std::string bytes;
    };
    static constexpr std::size_t kQueued = 16;  // pages described ahead of the file at most

    void Add(Job job) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return jobs_.size() < kQueued || error_; });
        if (error_) std::rethrow_exception(error_);
        jobs_.push_back(std::move(job));
        lock.unlock();
        changed_.notify_all();
    }
    void Work() {
        for (;;) {
            Job job;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return stop_ || !jobs_.empty(); });
                if (stop_) return;  // given up: the file is not finished
                job = std::move(jobs_.front());
                jobs_.pop_front();
                busy_ = true;
            }
            std::exception_ptr failed;
            try {
                if (job.stream) pdf_.Stream(job.number, job.entries, Deflate(job.bytes));
                else pdf_.Object(job.number, job.bytes);
            } catch (...) {
                failed = std::current_exception();
            }
            {
                std::lock_guard lock(mutex_);
                busy_ = false;
                if (failed) {
                    error_ = failed;
                    jobs_.clear();
                }
            }
            changed_.notify_all();
            if (failed) return;
        }
    }

    PdfFile& pdf_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> jobs_;
    bool busy_ = false, stop_ = false;
    std::exception_ptr error_;
    std::thread worker_;  // last: started once the rest is ready
};

/// The date the file says it was made: now, or SOURCE_DATE_EPOCH when set (for
/// files that must come out the same byte for byte).
std::string CreationDate() {
    std::time_t t = std::time(nullptr);
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) t = static_cast<std::time_t>(std::atoll(epoch));
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "(D:%Y%m%d%H%M%SZ)", &tm);
    return buf;
}

/// The font objects: the Type 0 font (number given), its CID font, descriptor,
/// subset file and ToUnicode map.
void WriteFont(PdfFile& pdf, int type0, const std::string& fontFile, const measure::FontGlyphs& glyphs,
               const UsedGlyphs& used) {
    const TrueTypeFont font(fontFile);
    const FontFacts& facts = font.Facts();
    std::set<std::uint32_t> ids;
    for (std::size_t g = 0; g < used.used.size(); ++g)
        if (used.used[g]) ids.insert(static_cast<std::uint32_t>(g));
    const std::string name = "/" + SubsetTag(ids) + "+" + facts.postScriptName;
    const double perUnit = 1000.0 / facts.unitsPerEm;
    auto units = [&](std::string& out, double v) {
        Number(out, v * perUnit, 3);
        out += ' ';
    };

    const int cid = pdf.Reserve(), descriptor = pdf.Reserve(), file = pdf.Reserve(), toUnicode = pdf.Reserve();
    std::string t = "<< /Type /Font /Subtype /Type0 /BaseFont " + name + " /Encoding /Identity-H /DescendantFonts [";
    Integer(t, cid);
    t += " 0 R] /ToUnicode ";
    Integer(t, toUnicode);
    t += " 0 R >>";
    pdf.Object(type0, t);

    // the widths, runs of consecutive glyph ids
    t = "<< /Type /Font /Subtype /CIDFontType2 /BaseFont " + name +
        " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> /FontDescriptor ";
    Integer(t, descriptor);
    t += " 0 R /CIDToGIDMap /Identity /W [";
    for (auto it = ids.begin(); it != ids.end();) {
        t += '\n';
        Integer(t, *it);
        t += " [";
        std::uint32_t next = *it;
        for (; it != ids.end() && *it == next; ++it, ++next) units(t, glyphs.AdvanceOf(*it));
        t += ']';
    }
    t += "] >>";
    pdf.Object(cid, t);

    t = "<< /Type /FontDescriptor /FontName " + name + " /Flags 4 /FontBBox [";
    units(t, facts.xMin);
    units(t, facts.yMin);
    units(t, facts.xMax);
    units(t, facts.yMax);
    t += "] /ItalicAngle ";
    Number(t, facts.italicAngle, 2);
    t += " /Ascent ";
    units(t, facts.ascent);
    t += "/Descent ";
    units(t, facts.descent);
    t += "/CapHeight ";
    units(t, facts.capHeight);
    t += "/StemV 80 /FontFile2 ";
    Integer(t, file);
    t += " 0 R >>";
    pdf.Object(descriptor, t);

    const std::string subset = font.Subset(ids);
    t = "/Filter /FlateDecode /Length1 ";
    Integer(t, static_cast<long long>(subset.size()));
    pdf.Stream(file, t, Deflate(subset));

    std::vector<std::uint32_t> mapped;
    for (std::uint32_t g : ids)
        if (used.unicode[g] != 0) mapped.push_back(g);
    t = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
        "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    for (std::size_t i = 0; i < mapped.size(); i += 100) {  // at most 100 a block
        const std::size_t n = std::min<std::size_t>(100, mapped.size() - i);
        Integer(t, static_cast<long long>(n));
        t += " beginbfchar\n";
        for (std::size_t k = i; k < i + n; ++k) {
            t += '<';
            Hex16(t, mapped[k]);
            t += "> <";
            Utf16Hex(t, used.unicode[mapped[k]]);
            t += ">\n";
        }
        t += "endbfchar\n";
    }
    t += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    pdf.Stream(toUnicode, "/Filter /FlateDecode", Deflate(t));
}

}  // namespace

std::vector<Printed> PrintPdf(const std::vector<Document>& documents, const std::string& path, const PdfInfo& info,
                              bool bookmarks) {
    Layout layout;
    std::vector<Printed> printed;
    // Laid out before anything is written: a document that cannot be printed stops
    // the run before the file is begun.
    std::vector<std::vector<PageLayout>> pages;
    for (const Document& d : documents) {
        if (!d.sheet) throw std::runtime_error("no worksheet given to print");
        Printed p;
        p.sheet = d.sheet->Name();
        p.title = DocumentTitle(*d.sheet, d.state);
        pages.push_back(layout.Pages(*d.sheet, d.state, &p.clipped));
        p.pages = static_cast<int>(pages.back().size());
        printed.push_back(std::move(p));
    }
    if (pages.empty() || pages.front().empty()) throw std::runtime_error("nothing to print");
    const auto glyphs = measure::FontGlyphs::Open(layout.FontFile());
    if (!glyphs) throw std::runtime_error("the drafting font " + layout.FontFile() + " cannot be read");
    const TrueTypeFont check(layout.FontFile());  // a font that cannot be embedded fails before the file is begun

    PdfFile pdf(path);
    const int catalog = pdf.Reserve(), tree = pdf.Reserve(), resources = pdf.Reserve(), font = pdf.Reserve();
    UsedGlyphs used;
    PageWriter writer(*glyphs, used);
    std::string lines, texts, content, entries;
    std::vector<int> kids;
    std::vector<int> firstPages;  // each document's first page object
    // The lines of the sheets of a kind are the same: a set of lines met a second
    // time becomes a form XObject, drawn by every page that has it.
    struct LineSet {
        int pages = 0;
        int form = 0;  // its XObject, once it has one
    };
    std::unordered_map<std::string, LineSet> lineSets;
    std::string forms;  // the resources' XObject entries
    PageObjects objects(pdf);
    for (const auto& doc : pages) {
        firstPages.push_back(0);
        for (const PageLayout& page : doc) {
            writer.Lines(page, lines);
            writer.Texts(page, texts);
            content = "1 0 0 -1 0 ";  // y downwards from the paper's top edge
            Pt(content, page.paperHeight);
            content += "cm\n";
            LineSet& set = lineSets[lines];
            if (++set.pages == 2) {
                set.form = pdf.Reserve();
                std::string dict = "/Type /XObject /Subtype /Form /BBox [0 0 ";
                Pt(dict, page.paperWidth);
                Pt(dict, page.paperHeight);
                dict += "] /Filter /FlateDecode";
                objects.Deflated(set.form, std::move(dict), lines);
                forms += " /L";
                Integer(forms, set.form);
                forms += ' ';
                Integer(forms, set.form);
                forms += " 0 R";
            }
            if (set.form) {
                content += "/L";
                Integer(content, set.form);
                content += " Do\n";
            } else {
                content += lines;
            }
            content += texts;
            const int stream = pdf.Reserve(), object = pdf.Reserve();
            if (!firstPages.back()) firstPages.back() = object;
            objects.Deflated(stream, "/Filter /FlateDecode", content);
            entries = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 ";
            Pt(entries, page.paperWidth);
            Pt(entries, page.paperHeight);
            entries += "] /Resources 3 0 R /Contents ";
            Integer(entries, stream);
            entries += " 0 R >>";
            objects.Object(object, entries);
            kids.push_back(object);
        }
    }
    objects.Finish();
    WriteFont(pdf, font, layout.FontFile(), *glyphs, used);
    std::string t = "<< /Font << /F1 ";
    Integer(t, font);
    t += " 0 R >>";
    if (!forms.empty()) t += " /XObject <<" + forms + " >>";
    t += " >>";
    pdf.Object(resources, t);
    t = "<< /Type /Pages /Kids [";
    for (std::size_t i = 0; i < kids.size(); ++i) {
        if (i % 10 == 0) t += '\n';
        Integer(t, kids[i]);
        t += " 0 R ";
    }
    t += "] /Count ";
    Integer(t, static_cast<long long>(kids.size()));
    t += " >>";
    pdf.Object(tree, t);

    // one bookmark a document, each at its first page
    int outlines = 0;
    if (bookmarks || pages.size() > 1) {
        outlines = pdf.Reserve();
        std::vector<int> items;
        for (std::size_t d = 0; d < pages.size(); ++d) items.push_back(pdf.Reserve());
        for (std::size_t d = 0; d < items.size(); ++d) {
            t = "<< /Title " + TextString(printed[d].title, true) + " /Parent ";
            Integer(t, outlines);
            t += " 0 R";
            if (d > 0) {
                t += " /Prev ";
                Integer(t, items[d - 1]);
                t += " 0 R";
            }
            if (d + 1 < items.size()) {
                t += " /Next ";
                Integer(t, items[d + 1]);
                t += " 0 R";
            }
            t += " /Dest [";
            Integer(t, firstPages[d]);
            t += " 0 R /XYZ null null null] >>";
            pdf.Object(items[d], t);
        }
        t = "<< /Type /Outlines /First ";
        Integer(t, items.front());
        t += " 0 R /Last ";
        Integer(t, items.back());
        t += " 0 R /Count ";
        Integer(t, static_cast<long long>(items.size()));
        t += " >>";
        pdf.Object(outlines, t);
    }
    t = "<< /Type /Catalog /Pages 2 0 R";
    if (outlines) {
        t += " /Outlines ";
        Integer(t, outlines);
        t += " 0 R /PageMode /UseOutlines";
    }
    t += " >>";
    pdf.Object(catalog, t);

    const int infoObject = pdf.Reserve();
    t = "<<";
    if (!info.title.empty()) t += " /Title " + TextString(info.title, false);
    if (!info.subject.empty()) t += " /Subject " + TextString(info.subject, false);
    if (!info.creator.empty()) t += " /Creator " + TextString(info.creator, false);
    t += " /Producer (ormelin) /CreationDate " + CreationDate() + " >>";
    pdf.Object(infoObject, t);
    pdf.Finish(catalog, infoObject);
    return printed;
}

}  // namespace ormelin::render
