// Reading a BOM: CSV text in UTF-8 or cp1251 with its delimiter found, or the
// displayed texts of a sheet of an .xlsx file.
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>

#include "import/bom.hpp"
#include "ormelin/errors.hpp"
#include "ormelin/model.hpp"
#include "ormelin/xlsx.hpp"

namespace ormelin::import {

namespace {

std::string Where(const std::string& file, int line, int column) {
    std::string w = file;
    if (line > 0) w += ":" + std::to_string(line);
    if (line > 0 && column > 0) w += ":" + std::to_string(column);
    return w;
}

// The code points of cp1251 bytes 0x80..0xBF (0xC0..0xFF are А..я in order).
constexpr std::array<char16_t, 64> kCp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0xFFFD, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

/// The delimiter of the line that holds most of , ; tab outside quotes among the
/// first lines (the head, which a preamble of fewer fields may precede); a comma
/// when none.
char DetectDelimiter(std::string_view text) {
    const char cands[3] = {',', ';', '\t'};
    std::size_t counts[3] = {0, 0, 0}, bestCount = 0;
    char best = ',';
    bool quoted = false;
    int lines = 0;
    auto endLine = [&] {
        int top = 0;
        for (int i = 1; i < 3; ++i) {
            if (counts[i] > counts[top]) top = i;
        }
        if (counts[top] > bestCount) {
            bestCount = counts[top];
            best = cands[top];
        }
        counts[0] = counts[1] = counts[2] = 0;
    };
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n') {
            endLine();
            if (++lines >= kHeadSearchLines) return best;
            continue;
        }
        for (int i = 0; i < 3; ++i) counts[i] += (c == cands[i]);
    }
    endLine();
    return best;
}

/// A BOM path read as a workbook: its name ends in ".xlsx" (any case).
bool IsXlsxPath(const std::string& path) {
    std::string lower = path;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower.size() >= 5 && lower.compare(lower.size() - 5, 5, ".xlsx") == 0;
}

}  // namespace

std::string Trim(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
    return std::string(s.substr(b, e - b));
}

BomError::BomError(const std::string& file, int line, int column, const std::string& what)
    : std::runtime_error(Where(file, line, column) + ": " + what) {}

namespace {
std::string Faults(const std::vector<std::string>& faults, std::size_t total) {
    std::string text;
    for (const auto& f : faults) text += (text.empty() ? "" : "\n") + f;
    if (total > faults.size()) {
        text += "\n(and " + std::to_string(total - faults.size()) + " more faults, not named)";
    }
    return text;
}
}  // namespace

BomError::BomError(const std::vector<std::string>& faults, std::size_t total)
    : std::runtime_error(Faults(faults, total)) {}

std::string Table::ColumnName(int column) const {
    if (namedColumns && column >= 1 && static_cast<std::size_t>(column) <= head.size()) {
        return "\"" + head[static_cast<std::size_t>(column - 1)] + "\"";
    }
    return lettersForColumns ? host::ColumnLetters(column) : std::to_string(column);
}

std::string Cp1251ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) {
        if (b < 0x80) {
            out += static_cast<char>(b);
        } else if (b < 0xC0) {
            AppendUtf8(out, kCp1251High[b - 0x80]);
        } else {
            AppendUtf8(out, static_cast<char32_t>(0x0410 + (b - 0xC0)));
        }
    }
    return out;
}

void Utf8Scan::Feed(std::string_view bytes) {
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (need_ > 0) {
            if ((b & 0xC0) == 0x80) {
                if (--need_ == 0) {
                    ++sequences_;
                    ++column_;
                }
                continue;
            }
            need_ = 0;
            Bad(lead_, column_ + 1);  // a sequence cut short: its lead byte is the bad one
            ++column_;
        }
        if (b < 0x80) {
            if (b == '\n') {
                ++line_;
                column_ = 0;
            } else {
                ++column_;
            }
        } else if (b >= 0xC2 && b <= 0xF4) {
            need_ = b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
            lead_ = b;
        } else {
            Bad(b, ++column_);
        }
    }
}

void Utf8Scan::Finish() {
    if (need_ == 0) return;
    need_ = 0;
    Bad(lead_, ++column_);
}

void Utf8Scan::Bad(unsigned char byte, int column) {
    if (bad_++ > 0) return;
    firstBad_ = byte;
    badLine_ = line_;
    badColumn_ = column;
}

bool IsUtf8(std::string_view bytes) {
    Utf8Scan scan;
    scan.Feed(bytes);
    scan.Finish();
    return scan.Bad() == 0;
}

namespace {

/// The bad byte of a scan, for a message: "byte 0xFF".
std::string ByteName(unsigned char b) {
    static const char* const kHex = "0123456789ABCDEF";
    return std::string("byte 0x") + kHex[b >> 4] + kHex[b & 0xF];
}

}  // namespace

Encoding DecideEncoding(const Utf8Scan& scan, bool byteOrderMark, Encoding given, const std::string& file) {
    if (given == Encoding::Cp1251 && !byteOrderMark) return Encoding::Cp1251;
    if (scan.Bad() == 0) return Encoding::Utf8;
    const bool utf8 = given == Encoding::Utf8 || byteOrderMark;
    // Text whose high bytes are mostly well-formed UTF-8 is UTF-8 with a few bad
    // bytes, not cp1251: read as cp1251 every letter of it would turn into two.
    if (!utf8 && scan.Sequences() <= scan.Bad()) return Encoding::Cp1251;
    const std::string why = byteOrderMark         ? "after its UTF-8 byte order mark"
                            : given == Encoding::Utf8 ? "read as UTF-8 (--encoding utf-8)"
                                                  : "in text that is otherwise UTF-8";
    throw BomError(file, scan.BadLine(), scan.BadColumn(),
                   ByteName(scan.FirstBad()) + " is not UTF-8, " + why + " (" + std::to_string(scan.Bad()) +
                       " such byte(s) in the file); mend it, or give --encoding cp1251 if the file is cp1251");
}

namespace {

/// The CSV records of a text fed in pieces, each piece ending at a line break
/// (or the text's end): quoted fields may hold delimiters, doubled quotes and
/// line breaks; blank records are skipped. Each record goes to `take` with the
/// line it began on.
class CsvParser {
public:
    using Take = std::function<void(std::vector<std::string>&, int)>;
    CsvParser(const std::string& file, char delimiter, Take take)
        : file_(file), delimiter_(delimiter), take_(std::move(take)) {}

    void Feed(std::string_view text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (quoted_) {
                if (c == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field_ += '"';
                        ++i;
                    } else {
                        quoted_ = false;
                    }
                } else {
                    if (c == '\n') ++line_;
                    field_ += c;
                }
                continue;
            }
            if (c == '"' && Trim(field_).empty()) {
                field_.clear();
                quoted_ = wasQuoted_ = true;
            } else if (c == delimiter_) {
                EndField();
            } else if (c == '\n') {
                EndRecord();
                recordLine_ = ++line_;
            } else if (c != '\r' || (i + 1 < text.size() && text[i + 1] != '\n')) {
                field_ += c;
            }
        }
    }

    /// The end of the text: a quoted field left open is an error.
    void Finish() {
        if (quoted_) {
            throw BomError(file_, recordLine_, static_cast<int>(record_.size()) + 1, "a quoted field is not closed");
        }
        if (!field_.empty() || !record_.empty()) EndRecord();
    }

private:
    void EndField() {
        record_.push_back(wasQuoted_ ? field_ : Trim(field_));
        field_.clear();
        wasQuoted_ = false;
    }
    void EndRecord() {
        EndField();
        const bool blank = std::all_of(record_.begin(), record_.end(), [](const std::string& f) { return f.empty(); });
        if (!blank) take_(record_, recordLine_);
        record_.clear();
    }

    const std::string& file_;
    char delimiter_;
    Take take_;
    std::vector<std::string> record_;
    std::string field_;
    int line_ = 1, recordLine_ = 1;
    bool quoted_ = false, wasQuoted_ = false;
};

}  // namespace

Table ReadCsv(std::string_view bytes, const std::string& file, Encoding encoding, char delimiter) {
    std::string text;
    const bool bom = bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF";
    if (bom) bytes.remove_prefix(3);
    Utf8Scan scan;
    scan.Feed(bytes);
    scan.Finish();
    if (DecideEncoding(scan, bom, encoding, file) == Encoding::Cp1251) {
        text = Cp1251ToUtf8(bytes);
    } else {
        text = std::string(bytes);
    }
    if (delimiter == 0) delimiter = DetectDelimiter(text);

    Table t;
    t.file = file;
    CsvParser parser(file, delimiter, [&](std::vector<std::string>& record, int line) { t.Add(record, line); });
    parser.Feed(text);
    parser.Finish();
    if (!t.hasHead) throw BomError(file, 0, 0, "holds no head line");
    for (auto& h : t.head) h = Trim(h);
    return t;
}

namespace {

/// The bytes of a CSV file in pieces of about a megabyte, each ending at a line
/// break (or the file's end), with a UTF-8 byte order mark left out.
class CsvPieces {
public:
    explicit CsvPieces(const std::string& path) : in_(path, std::ios::binary) {
        if (!in_) throw BomError(path, 0, 0, "cannot be read");
        char mark[3] = {};
        in_.read(mark, 3);
        byteOrderMark_ = in_.gcount() == 3 && std::string_view(mark, 3) == "\xEF\xBB\xBF";
        if (!byteOrderMark_) carry_.assign(mark, static_cast<std::size_t>(in_.gcount()));
    }
    bool ByteOrderMark() const { return byteOrderMark_; }

    /// The next piece; false at the end.
    bool Next(std::string& piece) {
        piece.swap(carry_);
        carry_.clear();
        while (in_) {
            const std::size_t at = piece.size();
            piece.resize(at + kPiece);
            in_.read(piece.data() + at, static_cast<std::streamsize>(kPiece));
            piece.resize(at + static_cast<std::size_t>(in_.gcount()));
            const std::size_t last = piece.rfind('\n');
            if (last != std::string::npos && last >= at) {
                carry_.assign(piece, last + 1);
                piece.resize(last + 1);
                return true;
            }
        }
        return !piece.empty();
    }

private:
    static constexpr std::size_t kPiece = 1 << 20;
    std::ifstream in_;
    std::string carry_;
    bool byteOrderMark_ = false;
};

}  // namespace

std::vector<Element> ReadBomElements(const std::string& path, Encoding encoding, char delimiter,
                                     const std::string& sheetName, const Profile& profile, int* symbols) {
    CheckBomFile(path);
    if (IsXlsxPath(path)) return ReadElements(ReadXlsxSheet(path, sheetName), profile, symbols);
    if (IsNetlistPath(path)) return ReadElements(ReadNetlist(path), profile, symbols);

    // First the whole file's encoding and its number of lines; then its records,
    // each turned into elements at once.
    // Lines holding a letter or a digit: at most one record each, and the elements
    // room is made for (blank lines take none).
    Utf8Scan scan;
    std::size_t lines = 0;
    bool filled = false, byteOrderMark = false;
    {
        CsvPieces pieces(path);
        byteOrderMark = pieces.ByteOrderMark();
        for (std::string piece; pieces.Next(piece);) {
            scan.Feed(piece);
            for (const char c : piece) {
                if (c == '\n') {
                    lines += filled ? 1 : 0;
                    filled = false;
                } else {
                    filled = filled || std::isalnum(static_cast<unsigned char>(c));
                }
            }
        }
        lines += filled ? 1 : 0;
        scan.Finish();
    }
    const bool cp1251 = DecideEncoding(scan, byteOrderMark, encoding, path) == Encoding::Cp1251;

    Table head;
    head.file = path;
    std::optional<ElementReader> reader;
    std::optional<CsvParser> parser;
    // The records before the head: a preamble, or when no record among the first
    // kHeadSearchLines names the designator column, the first is taken as the head.
    std::vector<std::pair<std::vector<std::string>, int>> before;
    auto takeHead = [&](std::vector<std::string> record, int line) {
        for (auto& h : record) h = Trim(h);
        head.head = std::move(record);
        head.headLine = line;
        reader.emplace(head, profile);
        reader->Reserve(lines);
    };
    CsvPieces pieces(path);
    for (std::string piece; pieces.Next(piece);) {
        if (cp1251) piece = Cp1251ToUtf8(piece);
        if (!parser) {
            parser.emplace(path, delimiter ? delimiter : DetectDelimiter(piece),
                           [&](std::vector<std::string>& record, int line) {
                               if (reader) return reader->Add(record, line);
                               if (IsHeadRow(record, profile)) return takeHead(std::move(record), line);
                               before.emplace_back(std::move(record), line);
                               if (line >= kHeadSearchLines) {
                                   takeHead(std::move(before.front().first), before.front().second);
                                   for (std::size_t i = 1; i < before.size(); ++i) {
                                       reader->Add(before[i].first, before[i].second);
                                   }
                               }
                           });
        }
        parser->Feed(piece);
    }
    if (parser) parser->Finish();
    if (!reader && !before.empty()) {
        takeHead(std::move(before.front().first), before.front().second);
        for (std::size_t i = 1; i < before.size(); ++i) reader->Add(before[i].first, before[i].second);
    }
    if (!reader) throw BomError(path, 0, 0, "holds no head line");
    if (symbols) *symbols = reader->Symbols();
    return reader->Take();
}

Table ReadXlsxSheet(const std::string& path, const std::string& sheetName) {
    auto app = std::make_shared<model::ModelApplication>(std::make_shared<model::ScriptedUi>());
    std::shared_ptr<model::ModelWorkbook> book;
    try {
        book = xlsx::LoadWorkbook(*app, path);
    } catch (const Error& e) {
        throw BomError(path, 0, 0, e.description());
    }
    std::shared_ptr<host::Worksheet> ws = sheetName.empty() ? book->Sheet(1) : book->FindSheet(sheetName);
    if (!ws) throw BomError(path, 0, 0, "no sheet named \"" + sheetName + "\"");
    Table t;
    t.file = path + (sheetName.empty() ? "" : "[" + sheetName + "]");
    t.lettersForColumns = true;
    const host::Area used = ws->UsedRange();
    for (int r = used.r1; r <= used.r2; ++r) {
        std::vector<std::string> record(static_cast<std::size_t>(used.c2), "");
        bool blank = true;
        for (int c = used.c1; c <= used.c2; ++c) {
            record[static_cast<std::size_t>(c - 1)] = Trim(ws->CellText(r, c));
            blank = blank && record[static_cast<std::size_t>(c - 1)].empty();
        }
        if (blank) continue;
        t.Add(std::move(record), r);
    }
    if (!t.hasHead) throw BomError(t.file, 0, 0, "the sheet holds no head row");
    return t;
}

void CheckBomFile(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) throw BomError(path, 0, 0, "cannot be read");
    if (!S_ISREG(st.st_mode)) throw BomError(path, 0, 0, "is not a regular file; a BOM is read from a file only");
    if (static_cast<unsigned long long>(st.st_size) > kMaxBomBytes) {
        throw BomError(path, 0, 0,
                       "holds " + std::to_string(st.st_size) + " bytes, more than the " +
                           std::to_string(kMaxBomBytes / (1024 * 1024)) + " MB a BOM may have");
    }
}

Table ReadBomFile(const std::string& path, Encoding encoding, char delimiter, const std::string& sheetName) {
    CheckBomFile(path);
    if (IsXlsxPath(path)) return ReadXlsxSheet(path, sheetName);
    if (IsNetlistPath(path)) return ReadNetlist(path);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw BomError(path, 0, 0, "cannot be read");
    std::stringstream ss;
    ss << in.rdbuf();
    return ReadCsv(ss.str(), path, encoding, delimiter);
}

}  // namespace ormelin::import
