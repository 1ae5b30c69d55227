// Importing a CAD bill of materials into a list: reading the BOM (CSV in UTF-8
// or cp1251 with any of the delimiters , ; tab, or a sheet of an .xlsx file),
// naming its columns through a profile, and turning its elements into the rows of
// the list of elements, the list of purchased products or the specification's
// "Прочие изделия".
//
// Every routine takes its inputs explicitly; none reads a setting of its own.
// Bad input throws BomError, whose text names the file, the line and the column.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ormelin/host.hpp"
#include "measure/text_measure.hpp"
#include "ormelin/state.hpp"

namespace ormelin::import {

/// Bad input: the text names the file, and the line and column where known
/// ("bom.csv:4:2: ...").
class BomError : public std::runtime_error {
public:
    BomError(const std::string& file, int line, int column, const std::string& what);
    /// Several faults: their texts (each naming its place), one a line.
    explicit BomError(const std::vector<std::string>& faults, std::size_t total);
};

/// The most faults of one BOM that are named; the rest are counted.
inline constexpr std::size_t kMaxFaultsNamed = 50;

// ------------------------------------------------------------------ reading

enum class Encoding : std::uint8_t { Detect, Utf8, Cp1251 };

/// The text without the blanks, tabs and carriage returns around it.
std::string Trim(std::string_view s);

/// The cp1251 bytes as UTF-8.
std::string Cp1251ToUtf8(std::string_view bytes);
/// True when the bytes are well-formed UTF-8.
bool IsUtf8(std::string_view bytes);

/// A scan of bytes, fed in pieces, for well-formed UTF-8: the multi-byte
/// sequences it holds, the bytes that are no part of one, and the first of
/// those with its line and column (in characters, 1-based).
class Utf8Scan {
public:
    void Feed(std::string_view bytes);
    /// The end of the bytes: a sequence left open is bad.
    void Finish();
    std::size_t Sequences() const { return sequences_; }
    std::size_t Bad() const { return bad_; }
    unsigned char FirstBad() const { return firstBad_; }
    int BadLine() const { return badLine_; }
    int BadColumn() const { return badColumn_; }

private:
    void Bad(unsigned char byte, int column);
    std::size_t sequences_ = 0, bad_ = 0;
    int need_ = 0;
    unsigned char lead_ = 0, firstBad_ = 0;
    int line_ = 1, column_ = 0, badLine_ = 0, badColumn_ = 0;
};

/// The encoding of CSV bytes after their scan: cp1251 when given (and the bytes
/// have no UTF-8 byte order mark), UTF-8 when they are well-formed; with Detect,
/// cp1251 when their high bytes are mostly not UTF-8. UTF-8 with bad bytes (after
/// a byte order mark, given, or mostly well-formed) throws BomError naming the
/// line and column of the first bad byte and the --encoding option.
Encoding DecideEncoding(const Utf8Scan& scan, bool byteOrderMark, Encoding given, const std::string& file);

/// The cells of a BOM: its head row and data rows, each with the line (CSV) or row
/// (.xlsx) it came from, and how columns are named in messages.
struct Table {
    std::string file;
    std::vector<std::string> head;
    std::vector<std::vector<std::string>> rows;
    std::vector<int> lines;   // per row of rows
    int headLine = 1;
    bool lettersForColumns = false;   // .xlsx: "C" rather than "3"
    bool namedColumns = false;        // a netlist: a column is its field's name
    std::string ColumnName(int column) const;   // 1-based
    /// Takes the next record read at a line: the first becomes the head, the others rows.
    void Add(std::vector<std::string> record, int line) {
        if (!hasHead) {
            head = std::move(record);
            headLine = line;
            hasHead = true;
        } else {
            rows.push_back(std::move(record));
            lines.push_back(line);
        }
    }
    bool hasHead = false;
};

/// Reads CSV text: a UTF-8 byte order mark is dropped; with Detect, text that is
/// not UTF-8 is taken as cp1251. The delimiter, unless one is given, is the one of
/// , ; tab that the line holding most of them (outside quotes) among the first
/// kHeadSearchLines holds most of. Quoted fields may
/// hold delimiters, doubled quotes and line breaks. Empty lines are skipped.
Table ReadCsv(std::string_view bytes, const std::string& file, Encoding encoding = Encoding::Detect,
              char delimiter = 0);

/// Reads the displayed texts of a sheet of an .xlsx file (the first sheet when no
/// name is given); the head is the first non-empty row.
Table ReadXlsxSheet(const std::string& path, const std::string& sheetName);

/// The largest BOM file read: 100 MB.
inline constexpr unsigned long long kMaxBomBytes = 100ULL * 1024 * 1024;

/// Refuses at once, with BomError, a path that is not a regular file (a device,
/// a pipe, a folder) or one larger than kMaxBomBytes.
void CheckBomFile(const std::string& path);

/// True for a path read as a KiCad netlist: its name ends in ".net" or ".xml".
bool IsNetlistPath(const std::string& path);

/// The components of KiCad's netlist (.net, an S-expression) or of the XML its
/// BOM plug-ins are given (.xml) as a table: "Reference", "Value", "DNP" and the
/// components' fields by their names, one row per component with the line of the
/// component. Components excluded from the BOM are left out; a reference named
/// again (a unit of a multi-unit symbol) is counted once.
Table ReadNetlist(const std::string& path);

/// Reads a BOM file by its extension: .xlsx through ReadXlsxSheet, .net and .xml
/// through ReadNetlist, anything else as CSV; CheckBomFile first.
Table ReadBomFile(const std::string& path, Encoding encoding, char delimiter, const std::string& sheetName);

// ------------------------------------------------------------------ profile

/// What each BOM column means: for every field, the head texts that name it
/// (compared without case and surrounding blanks). A field without names is absent.
struct Profile {
    std::string name;
    std::vector<std::string> designators, value, type, manufacturer, supplier, quantity, dnp, note;
    /// Cell texts of the "do not fit" column that mark an element not fitted.
    std::vector<std::string> dnpValues;
    /// True for a profile file: every column it names must be in the BOM.
    bool strict = false;
};

/// The lines among which the head row of a BOM is looked for: a preamble (source,
/// date, tool, count of components) may stand before it.
inline constexpr int kHeadSearchLines = 50;

/// True when the record holds a head that names the profile's designator column.
bool IsHeadRow(const std::vector<std::string>& record, const Profile& profile);

/// "kicad", "altium" or "jlc"; nothing for another name.
std::optional<Profile> BuiltinProfile(std::string_view name);
/// A profile from its JSON text ({"columns": {"designators": "Ref", ...},
/// "dnp_values": [...]}); unknown keys are refused.
Profile ParseProfile(std::string_view json, const std::string& file);

/// One element of the BOM, or one product line without designators.
struct Element {
    std::string designator;   // as written: "R12", "R001", "R1A", "C1_2", "BOOT0_2"
    std::string letters;      // its letter code in capitals: "R", "DA"; empty for a line without designators
    int number = 0;           // the first number after the letters
    bool plain = false;       // capitals and a number without leading zeros, as R12: it may join a run
    std::optional<double> magnitude;   // of the value's main parameter, once named (FormatValue)
    std::string value, type, manufacturer, supplier, note;
    int quantity = 1;      // 1 per designator; the line's quantity without designators
    bool dnp = false;
    int line = 0;
};

/// A designator as written: Latin letters and a rest that starts with a digit and
/// holds digits, letters, "_" and "." (R12, R001, R1A, C1_2, R1.1, BOOT0_2);
/// nothing for another text.
std::optional<Element> ParseDesignator(std::string_view text);

/// The natural order of designators: by letter code, then the rest with its
/// numbers compared as numbers (R2 before R10, R1 before R1A before R1_2).
bool DesignatorLess(const Element& a, const Element& b);

/// The elements of the table, one per designator (grouped lines "R1, R2", "R1-R4"
/// are split). The head is the table's own, or when that names no designator
/// column, the first row among the first kHeadSearchLines that does (the lines
/// above it are a preamble). Designators that start with "#" (KiCad's power and
/// flag symbols) are no parts: they are left out and counted in *symbols when
/// given. A missing column throws BomError at once; every bad line (a designator
/// that is not letters and a number-like rest, a quantity that is not a whole
/// number or does not match the designators, a designator named twice) is
/// gathered and thrown in one BomError naming each, up to kMaxFaultsNamed.
std::vector<Element> ReadElements(const Table& table, const Profile& profile, int* symbols = nullptr);

/// ReadElements one row at a time, so that the rows need not be kept: built from
/// a table's head (its rows are not read), given each row with its line.
class ElementReader {
public:
    ElementReader(const Table& head, const Profile& profile);
    void Add(const std::vector<std::string>& row, int line);
    void Reserve(std::size_t elements) { out_.reserve(elements); }
    /// The elements read; the reader is spent. Throws BomError naming the bad lines.
    std::vector<Element> Take();
    /// The power and flag symbols ("#PWR01") left out.
    int Symbols() const { return symbols_; }

private:
    const Table& t_;
    int cDes_ = -1, cVal_ = -1, cType_ = -1, cMfr_ = -1, cSup_ = -1, cQty_ = -1, cDnp_ = -1, cNote_ = -1;
    std::set<std::string> dnpValues_;
    void Fault(int line, int column, const std::string& what);
    std::unordered_map<std::string, int> seen_;   // designator in capitals -> line
    std::vector<Element> out_;
    std::vector<std::string> faults_;
    std::size_t faultCount_ = 0;
    int symbols_ = 0;
};

/// The elements of a BOM file (ReadBomFile and ReadElements in one): a CSV file is
/// read in pieces and its rows are not kept, so that memory follows the elements.
std::vector<Element> ReadBomElements(const std::string& path, Encoding encoding, char delimiter,
                                     const std::string& sheetName, const Profile& profile, int* symbols = nullptr);

// ------------------------------------------------------------------ kinds

/// The convention the letter codes of designators follow: GOST 2.710 (D a
/// microcircuit, VD a diode, X a connector) or IEC/IEEE as KiCad and Altium
/// libraries use them (D a diode, U a microcircuit, J a connector, Y a crystal).
enum class Convention : std::uint8_t { Unknown, Gost, Iec };

/// The unit of the main parameter of a kind (the value of its elements).
enum class MainUnit : std::uint8_t { None, Ohm, Farad, Henry, Hertz };

/// The kind of element a letter code names: its name singular and plural.
struct Kind {
    const char* code;
    const char* one;
    const char* many;
    MainUnit unit;
};

/// The kind of a letter code under the convention; under Unknown only the codes
/// whose meaning both conventions share or only one of them uses. Nothing for a
/// code whose meaning is unknown.
const Kind* KindOf(std::string_view letters, Convention convention);

/// The convention of the elements' letter codes: the one of the codes only one
/// convention uses that has more of them; Unknown when none or as many of each.
Convention DetectConvention(const std::vector<Element>& elements);

/// The letter codes of the elements that each convention names differently (D,
/// DS, X) and that get no kind name when the convention is Unknown.
std::vector<std::string> UndecidedCodes(const std::vector<Element>& elements);

/// A value in the form of the drafting rules and its magnitude in the main unit.
struct GostValue {
    std::string text;
    std::optional<double> magnitude;   // of the main parameter, in ohms, farads, henries or hertz
};

/// The value with multipliers and RKM codes written as numbers with a decimal
/// comma and the unit symbols of GOST 8.417 ("4k7" -> "4,7 кОм", "8p2" -> "8,2 пФ",
/// "2.2uF" -> "2,2 мкФ", "10kΩ" -> "10 кОм", "4R7" -> "4,7 Ом"), the main
/// parameter in the kind's unit (a bare number is ohms for a resistor); voltage,
/// current, power and tolerance of any kind likewise ("50V" -> "50 В", "5%" ->
/// "±5 %", "0.125W" -> "0,125 Вт"). Words it does not know are kept as written; a
/// value with none it knows is returned as it stands.
GostValue FormatValue(std::string_view value, MainUnit unit);

/// The UTF-8 text in lower case (Latin and Cyrillic letters).
std::string LowerText(std::string_view text);

/// The first word of a product's name in lower case when it names a kind
/// ("Конденсатор", "микросхемы", "Стабилитрон", "Разъем"), else empty.
std::string KindWordOf(std::string_view text);

// ------------------------------------------------------------------ rows

/// One row of a list as the import writes it; `heading` rows are group headings.
struct ListRow {
    std::string designator, name, quantity, note;
    std::string code, document, supplier, assembly;   // purchased products
    std::string position;                             // specification
    bool heading = false;
};

enum class DnpRule : std::uint8_t { Omit, Mark };

/// How elements are named: the convention of their letter codes, and whether
/// values are written as given rather than in GOST form (FormatValue).
struct Naming {
    Convention convention = Convention::Unknown;
    bool rawValues = false;
};

struct ElementRules {
    int rowsBetweenGroups = 1;    // 1 or 2 empty rows between groups
    DnpRule dnp = DnpRule::Omit;
};

/// The text "Не устанавливать" that marks a not-fitted element in the note.
inline constexpr const char* kNotFitted = "Не устанавливать";

/// The rows of the list of elements: groups by letter code in alphabetical order,
/// elements by number; runs of consecutive numbers with equal parameters on one
/// row; a plural heading (with the type and document all elements share) for a
/// group of more than one row; empty rows between groups.
std::vector<ListRow> ElementListRows(std::vector<Element> elements, const ElementRules& rules,
                                     const Naming& naming = {});

/// The rows of the list of purchased products: one per distinct product (not-fitted
/// elements are not bought), quantity summed, in the order of GOST 2.106: by groups
/// of like products (the kind), the groups and the names in them alphabetically,
/// within one name by the main parameter ascending.
std::vector<ListRow> PurchasedRows(std::vector<Element> elements, const std::string& assembly,
                                   const Naming& naming = {});

/// The largest position of a specification; positions are whole numbers from 1.
inline constexpr int kMaxPosition = 99999;

/// The rows of the specification's "Прочие изделия": one per distinct product with
/// its quantity and its designators in the note, in the order of PurchasedRows;
/// positions from firstPosition on.
/// Positions past kMaxPosition throw std::runtime_error.
std::vector<ListRow> OtherProductRows(std::vector<Element> elements, int firstPosition, const Naming& naming = {});

/// "R1", "R1, R2", "R3...R6": the designators of a run of consecutive numbers.
std::string RunText(const std::string& letters, int first, int last);

// ------------------------------------------------------------------ wrapping

/// Texts are measured as they print, in the one home for that.
using measure::CoarseMeasure;
using measure::FieldWidthPoints;
using measure::FontFamily;
using measure::FontMeasure;
using measure::FormFontFile;
using measure::Measure;

/// The text broken at blanks into lines that each fit the width; a word longer
/// than the width stands alone on its line (it shrinks when printed). A
/// designator run is never broken, nor a number and its unit or tolerance ("0,5
/// А", "±5 %"), a document designation and its "ТУ", a standard and its number
/// ("ГОСТ 21931-76").
std::vector<std::string> Wrap(std::string_view text, double widthPoints, const Measure& measure);

// ------------------------------------------------------------------ filling

/// Where the rows go: the list of elements (either layout), the list of purchased
/// products, or the specification's "Прочие изделия".
enum class Target : std::uint8_t { Elements, Purchased, Specification };

/// The target for a list state, or nothing when the sheet holds no such list.
std::optional<Target> TargetOf(std::int32_t listState);

/// A note the user typed that a replacement could not keep: its row's elements
/// (or product) are no longer in the BOM.
struct DroppedNote {
    std::string row;    // the designators or the product's name
    std::string note;
};

struct FillResult {
    int rowsWritten = 0;
    int firstRow = 0;
    std::vector<DroppedNote> droppedNotes;
};

/// The designators a list's designator text names: "R1...R4, R7, C1_2" gives R1,
/// R2, R3, R4, R7, C1_2 (in capitals).
std::vector<std::string> DesignatorsOf(std::string_view text);

/// Fills the list on the sheet with the rows, long texts wrapped onto continuation
/// rows. A list that holds data is refused (throws std::runtime_error) unless
/// replace; replace drops the list's data rows (for the specification only the rows
/// of "Прочие изделия") and keeps the head. Rows are added with the list row format.
/// A replacement keeps the notes the user typed: on a row of the list of elements
/// whose designators come back, on a product that comes back (by its name; in a
/// specification the text of the note beside the designators); the notes of rows
/// that do not come back are returned in droppedNotes.
FillResult FillList(const std::shared_ptr<host::Worksheet>& sheet, std::int32_t listState,
                    const std::vector<ListRow>& rows, bool replace, const Measure& measure);

/// For the specification: the position the first imported row of "Прочие изделия"
/// takes, the one after the last position of the list above the section. A
/// position above it that is a number but no whole number from 1 to kMaxPosition
/// throws std::runtime_error naming its cell.
int NextSpecificationPosition(const host::Worksheet& sheet);

}  // namespace ormelin::import
