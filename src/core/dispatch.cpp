// The dispatch surface: the 28 interface slots with their identifiers, names and
// parameters, and the calls made by identifier or by name with Variant arguments.
//
// Arguments come in declaration order. An omitted optional argument is None (or
// left out at the end); None in the place of a required argument counts as
// omitted. A worksheet that is "Nothing" is a null worksheet pointer. Numbers are
// accepted as 32-bit integers, doubles (rounded to the nearest, ties to even) or
// Booleans (True is -1); objects must be of the kind the method works with.
#include <cctype>
#include <cmath>
#include <limits>

#include "base/text.hpp"
#include "core/frame.hpp"

namespace ormelin {

namespace {

using WsRef = Kalvora::WorksheetRef;
using WbRef = Kalvora::WorkbookRef;
using AdRef = Kalvora::AttrDocRef;
using Args = std::vector<Variant>;

/// A worksheet argument; nothing when the object is of another kind.
std::optional<WsRef> TryWorksheet(const Variant& v) {
    if (IsNone(v)) return WsRef{};
    if (const auto* p = std::get_if<WsRef>(&v)) return *p;
    return std::nullopt;
}

WsRef ToWorksheet(const Variant& v) {
    auto ws = TryWorksheet(v);
    if (!ws) throw Error(ErrorCode::TypeMismatch);
    return *ws;
}

WbRef ToWorkbook(const Variant& v) {
    if (IsNone(v)) return {};
    if (const auto* p = std::get_if<WbRef>(&v)) return *p;
    throw Error(ErrorCode::TypeMismatch);
}

/// A range argument: a range, or a worksheet standing for all its cells.
std::optional<host::Range> ToRange(const Variant& v) {
    if (IsNone(v)) return std::nullopt;
    if (const auto* r = std::get_if<host::Range>(&v)) return *r;
    if (const auto* ws = std::get_if<WsRef>(&v)) {
        if (!*ws) return std::nullopt;
        return (*ws)->Cells();
    }
    throw Error(ErrorCode::TypeMismatch);
}

AdRef ToAttrDoc(const Variant& v) {
    if (IsNone(v)) return {};
    if (const auto* p = std::get_if<AdRef>(&v)) return *p;
    throw Error(ErrorCode::TypeMismatch);
}

Variant FromRange(const std::optional<host::Range>& r) {
    if (r) return *r;
    return None{};
}

template <class Int>
Int ToInteger(const Variant& v) {
    double d = 0;
    if (const auto* i = std::get_if<std::int32_t>(&v)) d = *i;
    else if (const auto* b = std::get_if<bool>(&v)) d = *b ? -1 : 0;
    else if (const auto* x = std::get_if<double>(&v)) {
        if (!std::isfinite(*x)) throw Error(ErrorCode::Overflow);
        d = std::nearbyint(*x);
    } else
        throw Error(ErrorCode::TypeMismatch);
    if (d < std::numeric_limits<Int>::min() || d > std::numeric_limits<Int>::max())
        throw Error(ErrorCode::Overflow);
    return static_cast<Int>(d);
}

bool ToBool(const Variant& v) {
    if (const auto* b = std::get_if<bool>(&v)) return *b;
    if (const auto* i = std::get_if<std::int32_t>(&v)) return *i != 0;
    if (const auto* x = std::get_if<double>(&v)) return *x != 0;
    throw Error(ErrorCode::TypeMismatch);
}

ksStateOfDocument ToState(const Variant& v) { return static_cast<ksStateOfDocument>(ToInteger<std::int32_t>(v)); }

/// A method taking one worksheet by reference and returning nothing.
template <void (Kalvora::*Method)(WsRef&)>
void WorksheetCall(Kalvora& k, Args& a, Variant&) {
    WsRef ws = ToWorksheet(a[0]);
    (k.*Method)(ws);
    a[0] = ws;
}

/// A method taking one worksheet by reference and returning a Boolean.
template <bool (Kalvora::*Method)(WsRef&)>
void WorksheetQuery(Kalvora& k, Args& a, Variant& r) {
    WsRef ws = ToWorksheet(a[0]);
    r = (k.*Method)(ws);
    a[0] = ws;
}

template <void (Kalvora::*Method)(bool)>
void LayoutCall(Kalvora& k, Args& a, Variant&) {
    (k.*Method)(ToBool(a[0]));
}

template <void (Kalvora::*Method)(AdRef&, WsRef&)>
void TransferCall(Kalvora& k, Args& a, Variant&) {
    AdRef doc = ToAttrDoc(a[0]);
    WsRef ws = ToWorksheet(a[1]);
    (k.*Method)(doc, ws);
    a[0] = doc;
    a[1] = ws;
}

constexpr auto Obj = ParamType::Object;
constexpr auto Bool = ParamType::Boolean;
constexpr auto I16 = ParamType::Int16;
constexpr auto I32 = ParamType::Int32;
constexpr auto State = ParamType::State;
constexpr auto Void = ParamType::None;
constexpr auto ByRef = Passing::ByReference;
constexpr auto ByVal = Passing::ByValue;

CallStatus StatusOf(const Error& e) { return {e.number(), e.description()}; }

// ------------------------------------------------------------------ the calls that take more than one kind of argument

void DocumentBlankCall(Kalvora& k, Args& a, Variant&) {
    WsRef ws = ToWorksheet(a[0]);
    const ksStateOfDocument kssod = ToState(a[1]);
    k.DocumentBlank(ws, kssod);
    a[0] = ws;
}

void FormingCall(Kalvora& k, Args& a, Variant& r) {
    WsRef ws = ToWorksheet(a[0]);
    const bool forPrint = ToBool(a[1]), pageRevi = ToBool(a[2]);
    r = k.Forming(ws, forPrint, pageRevi);
    a[0] = ws;
}

void FormingACall(Kalvora& k, Args& a, Variant& r) {
    WsRef ws = ToWorksheet(a[0]);
    const auto state = ToInteger<std::int32_t>(a[1]);
    const bool forPrint = ToBool(a[2]), pageRevi = ToBool(a[3]);
    r = k.FormingA(ws, state, forPrint, pageRevi);
    a[0] = ws;
}

void TitleNextCall(Kalvora& k, Args& a, Variant&) {
    auto n = ToInteger<std::int32_t>(a[0]);
    std::optional<host::Range> range = ToRange(a[1]);
    AdRef doc = ToAttrDoc(a[2]);
    k.TitleNext(n, range, doc);
    a[0] = n;
    a[1] = FromRange(range);
    a[2] = doc;
}

void FormingSPBCall(Kalvora& k, Args& a, Variant&) {
    WsRef ws = ToWorksheet(a[0]);
    bool forPrint = ToBool(a[1]), pageRevi = ToBool(a[2]);
    k.FormingSPB(ws, forPrint, pageRevi);
    a[0] = ws;
    a[1] = forPrint;
    a[2] = pageRevi;
}

void FormingVPACall(Kalvora& k, Args& a, Variant& r) {
    WsRef ws = ToWorksheet(a[0]);
    bool forPrint = ToBool(a[1]), pageRevi = ToBool(a[2]);
    r = k.FormingVPA(ws, forPrint, pageRevi);
    a[0] = ws;
    a[1] = forPrint;
    a[2] = pageRevi;
}

void FindSPISCall(Kalvora& k, Args& a, Variant&) {
    WbRef book = ToWorkbook(a[0]);
    k.FindSPIS(book);
    a[0] = book;
}

void StateOfDocumentCall(Kalvora& k, Args& a, Variant& r) {
    // Recognition is silent: an object that is no worksheet is no document.
    std::optional<WsRef> ws = TryWorksheet(a[0]);
    if (!ws) {
        r = static_cast<std::int32_t>(ksDOC_NO);
        return;
    }
    r = k.StateOfDocument(*ws);
    a[0] = *ws ? Variant(*ws) : Variant(None{});
}

void DocumIsFormCall(Kalvora& k, Args& a, Variant& r) {
    WsRef ws = ToWorksheet(a[0]);
    const bool given = !IsNone(a[1]);
    std::int32_t state = given ? ToInteger<std::int32_t>(a[1]) : 0;
    r = k.DocumIsForm(ws, given ? &state : nullptr);
    if (given) a[1] = state;
}

void CellSpisCall(Kalvora& k, Args& a, Variant& r) {
    WsRef ws = ToWorksheet(a[0]);
    r = FromRange(k.CellSpis(ws));
    a[0] = ws;
}

void RowInsertCall(Kalvora& k, Args& a, Variant&) {
    WsRef ws = ToWorksheet(a[0]);
    const auto row = ToInteger<std::int16_t>(a[1]);
    std::optional<host::Range> rang = ToRange(a[2]);
    k.RowInsert(ws, row, rang);  // leaves rang as it was
    a[0] = ws;
}

}  // namespace

const std::vector<MethodSpec>& Kalvora::Methods() {
    static const ParamSpec worksheet{"oWorksheet", Obj, ByRef, false};
    static const ParamSpec worksheetOpt{"oWorksheet", Obj, ByRef, true};
    static const std::vector<MethodSpec> table = {
        {0x60030001, "SPA_Blank", {worksheet}, Void, &WorksheetCall<&Kalvora::SPA_Blank>},
        {0x60030002, "SPB_Blank", {worksheet}, Void, &WorksheetCall<&Kalvora::SPB_Blank>},
        {0x60030003, "PE_Blank", {worksheet}, Void, &WorksheetCall<&Kalvora::PE_Blank>},
        {0x60030004, "VE_Blank", {worksheet}, Void, &WorksheetCall<&Kalvora::VE_Blank>},
        {0x60030005, "VN_Blank", {worksheet}, Void, &WorksheetCall<&Kalvora::VN_Blank>},
        {0x60030006, "VPA_Blank", {worksheet}, Void, &WorksheetCall<&Kalvora::VPA_Blank>},
        {0x60030007, "DocumentBlank", {worksheet, {"kssod", State, ByVal, false}}, Void,
         &DocumentBlankCall},
        {0x60030009, "SPB_ColumnsWidthAndHead", {{"bOtkat", Bool, ByVal, false}}, Void,
         &LayoutCall<&Kalvora::SPB_ColumnsWidthAndHead>},
        {0x6003000A, "VPA_ColumnsWidthAndHead", {{"bOtkat", Bool, ByVal, false}}, Void,
         &LayoutCall<&Kalvora::VPA_ColumnsWidthAndHead>},
        {0x6003000B, "PE_ColumnsWidthAndHead", {{"bOtkat", Bool, ByVal, false}}, Void,
         &LayoutCall<&Kalvora::PE_ColumnsWidthAndHead>},
        {0x6003000C, "VN_ColumnsWidthAndHead", {{"bOtkat", Bool, ByVal, false}}, Void,
         &LayoutCall<&Kalvora::VN_ColumnsWidthAndHead>},
        {0x6003000D, "VE_ColumnsWidthAndHead", {{"bOtkat", Bool, ByVal, false}}, Void,
         &LayoutCall<&Kalvora::VE_ColumnsWidthAndHead>},
        {0x6003000E, "Otkat", {worksheet}, Void, &WorksheetCall<&Kalvora::Otkat>},
        {0x6003000F, "Forming",
         {worksheet, {"bForPrint", Bool, ByVal, false}, {"bPageRevi", Bool, ByVal, false}}, Bool,
         &FormingCall},
        {0x60030010, "FormingA",
         {worksheet, {"lStateOfDoc", I32, ByVal, false}, {"bForPrint", Bool, ByVal, false},
          {"bPageRevi", Bool, ByVal, false}},
         Bool,
         &FormingACall},
        {0x60030014, "TitleNext",
         {{"k", I32, ByRef, false}, {"oRange", Obj, ByRef, false}, {"attDoc", Obj, ByRef, false}}, Void,
         &TitleNextCall},
        {0x60030015, "FormingSPB",
         {worksheet, {"bForPrint", Bool, ByRef, false}, {"bPageRevi", Bool, ByRef, false}}, Void,
         &FormingSPBCall},
        {0x60030016, "FormingVPA",
         {worksheet, {"bForPrint", Bool, ByRef, false}, {"bPageRevi", Bool, ByRef, false}}, Bool,
         &FormingVPACall},
        {0x6003001B, "FindSPIS", {{"oWorkBook", Obj, ByRef, false}}, Void,
         &FindSPISCall},
        {0x6003001C, "StateOfDocument", {worksheetOpt}, State,
         &StateOfDocumentCall},
        {0x6003001D, "DocumIsForm", {{"oWorksheet", Obj, ByVal, false}, {"lStateOfDoc", I32, ByRef, true}}, I32,
         &DocumIsFormCall},
        {0x6003001F, "CellSpis", {worksheet}, Obj,
         &CellSpisCall},
        {0x60030020, "AttribsToSPIS", {{"attDoc", Obj, ByRef, false}, worksheetOpt}, Void,
         &TransferCall<&Kalvora::AttribsToSPIS>},
        {0x60030021, "AttribsFromSPIS", {{"attDoc", Obj, ByRef, false}, worksheetOpt}, Void,
         &TransferCall<&Kalvora::AttribsFromSPIS>},
        {0x60030022, "AttribsRefFromSPIS", {worksheetOpt}, Void, &WorksheetCall<&Kalvora::AttribsRefFromSPIS>},
        {0x60030025, "RowInsert", {worksheet, {"r", I16, ByVal, false}, {"rang", Obj, ByRef, true}}, Void,
         &RowInsertCall},
        {0x60030028, "DocumentIsNew", {worksheet}, Bool, &WorksheetQuery<&Kalvora::DocumentIsNew>},
        {0x60030029, "DocumentIsDelete", {worksheet}, Bool, &WorksheetQuery<&Kalvora::DocumentIsDelete>},
    };
    return table;
}

std::optional<DispId> Kalvora::IdOfName(std::string_view name) {
    for (const MethodSpec& m : Methods())
        if (text::EqualsNoCase(m.name, name)) return m.id;
    return std::nullopt;
}

CallStatus Kalvora::Invoke(DispId id, std::vector<Variant>& args, Variant* result) {
    const MethodSpec* method = nullptr;
    for (const MethodSpec& m : Methods())
        if (m.id == id) method = &m;
    if (!method) return StatusOf(Error(ErrorCode::MemberNotFound));
    if (args.size() > method->params.size()) return StatusOf(Error(ErrorCode::BadParamCount));

    std::vector<Variant> full(args);
    full.resize(method->params.size());
    for (std::size_t i = 0; i < full.size(); ++i)
        if (!method->params[i].optional && IsNone(full[i])) return StatusOf(Error(ErrorCode::ParamNotOptional));

    // The method's own frame holds the instance while it runs; this reference
    // covers the writing back of the arguments as well.
    const auto self = weak_from_this().lock();
    Variant value;
    try {
        method->invoke(*this, full, value);
    } catch (...) {
        return StatusOf(CurrentError());
    }
    for (std::size_t i = 0; i < args.size(); ++i)
        if (method->params[i].passing == Passing::ByReference) args[i] = full[i];
    if (result) *result = value;
    return {};
}

CallStatus Kalvora::InvokeByName(std::string_view name, std::vector<Variant>& args, Variant* result) {
    const auto id = IdOfName(name);
    if (!id) return StatusOf(Error(ErrorCode::UnknownName));
    return Invoke(*id, args, result);
}

}  // namespace ormelin
