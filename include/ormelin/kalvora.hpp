// The service class of the library: Kalvora (clsKalvora).
//
// The host creates one instance over its spreadsheet application and calls its
// public methods with the application's worksheet and workbook objects. The
// instance keeps a little state between calls: the current worksheet (used by the
// routines that take no worksheet), the register sheet with its column map and the
// register row found last, and the attribute record. The work itself is done by
// the modules (src/lists, src/forming, src/recognition, src/attributes), which take
// their inputs explicitly; the public methods are short adapters over them.
//
// The 28 public methods are reachable in two ways: as typed member functions
// (by-reference object parameters are references to the caller's variables, an
// omitted optional object is a null pointer or an empty optional), and through the
// dispatch surface, by dispatch identifier or by name with Variant arguments, as an
// automation host calls them.
//
// Errors: every failure that leaves a method is an ormelin::Error. The list layout
// routines and FindSPIS report their errors in a message box under their own name
// and return normally; the recognition and the register row lookup are silent;
// every other routine lets the error end the call.
#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ormelin/documents.hpp"
#include "ormelin/errors.hpp"
#include "ormelin/host.hpp"
#include "ormelin/register_columns.hpp"
#include "ormelin/state.hpp"
#include "ormelin/variant.hpp"

namespace ormelin {

class AttrDoc;

/// Dispatch identifier of a public method.
using DispId = std::int32_t;

/// How a parameter travels.
enum class Passing : std::uint8_t { ByValue, ByReference };

/// The declared type of a parameter or a result.
enum class ParamType : std::uint8_t {
    None,       // no result
    Object,     // a worksheet, workbook, range or attribute record
    Boolean,
    Int16,
    Int32,
    State,      // ksStateOfDocument
};

struct ParamSpec {
    const char* name;
    ParamType type;
    Passing passing;
    bool optional;
};

class Kalvora;

/// One slot of the dispatch interface.
struct MethodSpec {
    DispId id;
    const char* name;
    std::vector<ParamSpec> params;
    ParamType result;
    /// Runs the method: arguments in declaration order (padded with None), by-reference
    /// ones written back, the result (if any) stored.
    void (*invoke)(Kalvora& self, std::vector<Variant>& args, Variant& result);
};

/// The status a dispatched call returns: 0 for success, else the error's number and
/// description.
struct CallStatus {
    long number = 0;
    std::string description;
    bool ok() const { return number == 0; }
};

class Kalvora : public std::enable_shared_from_this<Kalvora> {
public:
    using WorksheetRef = std::shared_ptr<host::Worksheet>;
    using WorkbookRef = std::shared_ptr<host::Workbook>;
    using AttrDocRef = std::shared_ptr<AttrDoc>;

    /// The instance keeps a reference to app: the application must outlive it.
    explicit Kalvora(host::Application& app);
    ~Kalvora();
    Kalvora(const Kalvora&) = delete;
    Kalvora& operator=(const Kalvora&) = delete;

    /// An instance owned by a shared pointer: its calls then hold a reference on it
    /// for their duration, so a host that drops its last reference during a call
    /// (from a message box, say) does not pull the instance from under it.
    static std::shared_ptr<Kalvora> Create(host::Application& app);

    // ------------------------------------------------------------ public methods
    // In the order of the interface slots. Each contract tells what the method
    // changes, how its errors leave it, and what it leaves as the current worksheet
    // (CurrentWorksheet) and the register row found last (RegisterRow).
    // Error styles: "throws" lets an ormelin::Error end the call; "reports" shows
    // "<routine>: <description>" in a message box and returns normally; "silent"
    // answers a neutral value.

    /// Draws the empty list of its kind on oWorksheet (wiped first), panes frozen
    /// under the head. Throws outside the layout (null: ObjectRequired); the layout
    /// reports. Current worksheet: oWorksheet. Register row: unchanged.
    void SPA_Blank(WorksheetRef& oWorksheet);
    void SPB_Blank(WorksheetRef& oWorksheet);
    /// The list of elements with the zone column.
    void PE_Blank(WorksheetRef& oWorksheet);
    void VE_Blank(WorksheetRef& oWorksheet);
    void VN_Blank(WorksheetRef& oWorksheet);
    void VPA_Blank(WorksheetRef& oWorksheet);
    /// The same for the list of any state (a state without a list: the wiped sheet).
    void DocumentBlank(WorksheetRef& oWorksheet, ksStateOfDocument kssod);
    /// Column widths, formats, head and link cell of the kind's list on the current
    /// worksheet; bOtkat leaves out what only a blank list takes. Reports (no current
    /// worksheet: ObjectRequired, reported). Current worksheet and register row: unchanged.
    void SPB_ColumnsWidthAndHead(bool bOtkat);
    void VPA_ColumnsWidthAndHead(bool bOtkat);
    void PE_ColumnsWidthAndHead(bool bOtkat);
    void VN_ColumnsWidthAndHead(bool bOtkat);
    void VE_ColumnsWidthAndHead(bool bOtkat);
    /// Rolls the formed document on oWorksheet back to its list; a sheet without a
    /// formed document stays as it is. Throws (null: ObjectRequired), the list head
    /// reports. Current worksheet: none afterwards (oWorksheet when it threw).
    void Otkat(WorksheetRef& oWorksheet);
    /// Forms the list on oWorksheet (null: the current worksheet, handed back) by its
    /// kind; anything else stays as it is. Throws. Returns False. Current worksheet and
    /// register row: those FormingA leaves, or those recognition leaves.
    bool Forming(WorksheetRef& oWorksheet, bool bForPrint, bool bPageRevi);
    /// A4 forming of oWorksheet as a list of lStateOfDoc: the reference record is read
    /// from the register first. Throws (null: ObjectRequired). Returns False. Current
    /// worksheet: oWorksheet. Register row: the document's, or none.
    bool FormingA(WorksheetRef& oWorksheet, std::int32_t lStateOfDoc, bool bForPrint, bool bPageRevi);
    /// The title block of sheet k on the sheet block oRange, from attDoc. Throws (no
    /// block or record: ObjectRequired). Current worksheet and register row: unchanged.
    void TitleNext(std::int32_t& k, std::optional<host::Range>& oRange, AttrDocRef& attDoc);
    /// Group specification forming on A4 landscape sheets: the reference record is
    /// read from the register first. Throws (null: ObjectRequired). Current
    /// worksheet: none afterwards. Register row: the document's, or none.
    void FormingSPB(WorksheetRef& oWorksheet, bool& bForPrint, bool& bPageRevi);
    /// A3 forming of oWorksheet as the list of purchased products: the reference
    /// record is read from the register first. Throws (null: ObjectRequired).
    /// Returns False. Current worksheet: oWorksheet. Register row: the document's, or none.
    bool FormingVPA(WorksheetRef& oWorksheet, bool& bForPrint, bool& bPageRevi);
    /// Finds the register sheet of oWorkBook, creating it with its header when there
    /// is none, and brings it to the front. Reports each failing step and goes on.
    /// Current worksheet and register row: unchanged.
    void FindSPIS(WorkbookRef& oWorkBook);
    /// What oWorksheet holds. A null oWorksheet means the current worksheet, which is
    /// then stored into it. Silent: no worksheet or a failing read is ksDOC_NO.
    /// Current worksheet and register row: unchanged.
    std::int32_t StateOfDocument(WorksheetRef& oWorksheet);
    std::int32_t StateOfDocument();
    /// 1 formed, 0 a list (or a superseded formed layout), -1 no document. oWorksheet
    /// by value (null: the current worksheet); lStateOfDoc, when given, receives the
    /// recognised code. Silent. Current worksheet and register row: unchanged.
    std::int32_t DocumIsForm(WorksheetRef oWorksheet, std::int32_t* lStateOfDoc = nullptr);
    /// The register cell ("Лист") of the document, or nothing. Silent about a missing
    /// register. Current worksheet: oWorksheet (null: the current one, handed back).
    /// Register row: the document's, else the first free row, else none.
    std::optional<host::Range> CellSpis(WorksheetRef& oWorksheet);
    /// Writes attDoc into the document's register row (created below the used range
    /// when missing); no register: nothing. Throws (no record: ObjectRequired).
    /// Current worksheet: oWorksheet (null: the current one). Register row: the one written.
    void AttribsToSPIS(AttrDocRef& attDoc, WorksheetRef& oWorksheet);
    /// Fills attDoc (cleared first) from the document's register row; without one it
    /// stays empty (no register: a notice). Throws (no record: ObjectRequired).
    /// Current worksheet: oWorksheet (null: the current one). Register row: found or none.
    void AttribsFromSPIS(AttrDocRef& attDoc, WorksheetRef& oWorksheet);
    /// Makes the instance's record a reference record: formulas referring to the
    /// document's register cells (none: empty attributes and a notice). Silent
    /// lookup. Current worksheet: oWorksheet (null: the current one). Register row: found or none.
    void AttribsRefFromSPIS(WorksheetRef& oWorksheet);
    /// Inserts a list row at row r of rang when given, else of oWorksheet. Throws
    /// (neither: ObjectRequired; r below 1: ApplicationDefined). Current worksheet
    /// and register row: unchanged.
    void RowInsert(WorksheetRef& oWorksheet, std::int16_t r, std::optional<host::Range>& rang);
    void RowInsert(WorksheetRef& oWorksheet, std::int16_t r);
    /// Adds the new document's sheet "Новый" to the workbook of oWorksheet, which is
    /// saved first when it never was (with its register). Messages and False on
    /// failure. Current worksheet and register row: unchanged.
    bool DocumentIsNew(WorksheetRef& oWorksheet);
    /// After the user's confirmation deletes oWorksheet and its register row. Throws
    /// (null, no register); messages and False when there is no row or the user
    /// declines. Current worksheet and register row: unchanged.
    bool DocumentIsDelete(WorksheetRef& oWorksheet);

    // ------------------------------------------------------------ dispatch surface

    /// The interface slots in order, with their identifiers, names and parameters.
    static const std::vector<MethodSpec>& Methods();
    /// The identifier of a method name (case-insensitive), or nothing.
    static std::optional<DispId> IdOfName(std::string_view name);
    /// Calls a method by identifier. args are in declaration order; missing trailing
    /// optional arguments may be left out or passed as None; by-reference arguments
    /// are written back when the call succeeds; result receives the result (None for a
    /// method without one).
    CallStatus Invoke(DispId id, std::vector<Variant>& args, Variant* result = nullptr);
    CallStatus InvokeByName(std::string_view name, std::vector<Variant>& args, Variant* result = nullptr);

    // ------------------------------------------------------------ state (read-only)

    host::Application& App() const { return docs_.App(); }
    const WorksheetRef& CurrentWorksheet() const { return docs_.CurrentWorksheet(); }
    const WorksheetRef& RegisterSheet() const { return docs_.RegisterSheet(); }
    const std::array<int, kSpisColumnCount>& ColumnMap() const { return docs_.RegisterColumns(); }
    const std::optional<host::Range>& RegisterRow() const { return docs_.RegisterRow(); }
    const AttrDocRef& AttributeRecord() const { return docs_.AttributeRecord(); }
    /// Public calls under way on this instance (nested calls included).
    int CallDepth() const { return callDepth_; }

    /// The typed service the methods run on, with what it keeps between calls.
    Documents& Typed() { return docs_; }
    const Documents& Typed() const { return docs_; }

private:
    class CallFrame;

    Documents docs_;
    int callDepth_ = 0;
};

using clsKalvora = Kalvora;

}  // namespace ormelin
