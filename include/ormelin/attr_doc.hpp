// The document attribute record: the title-block attributes of one document.
//
// A plain bag of texts (and four arrays of texts kept for the host). Four
// name-like attributes are composite: the document name aNaim, aTdoc, aMate and
// the organisation aFirm each keep the whole text as last set and its three
// lines X1..X3, and offer a one-line form (XDB) and the positions of the first
// two line breaks of the whole (XCrLf). A line break is the pair "\r\n".
//
// Texts are UTF-8; character positions count characters, not bytes.
//
// The record is also reachable through its automation surface: every property
// and Clear by dispatch identifier or by name, with Variant arguments.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ormelin/variant.hpp"

namespace ormelin {

/// How a property behaves.
enum class AttrKind : std::uint8_t {
    Text,      // plain text: the let stores it unchanged
    Array,     // an array of texts passed as a variant; untouched by Clear
    Cut,       // text cut at its first "_" when set (aProj)
    Numeric,   // text whose get yields it only when it reads as a number (aDensAI)
    Whole,     // whole composite text X: the let splits it into X1..X3
    Line,      // one line of a composite (X1, X2, X3)
    OneLine,   // get only: the three lines on one line (XDB)
    Breaks,    // get only: line-break positions of the stored whole (XCrLf)
};

/// The composite a property belongs to.
enum class AttrGroup : std::uint8_t { None, Naim, Tdoc, Mate, Firm };

// The properties in the order of the interface: name, kind, composite, line.
// Their dispatch identifiers count down from 0x68030058 (Department) to
// 0x68030000 (aFileAI).
#define ORMELIN_ATTRDOC_PROPERTIES(X)                                           \
    X(Department, Text, None, 0) X(ObozLU, Text, None, 0)                       \
    X(CodeOKP, Text, None, 0) X(Mark, Text, None, 0)                            \
    X(Stamp, Array, None, 0) X(Post, Array, None, 0)                            \
    X(Postf, Array, None, 0) X(Postd, Array, None, 0)                           \
    X(TitYear, Text, None, 0)                                                   \
    X(aFile, Text, None, 0) X(aShee, Text, None, 0) X(aPerv, Text, None, 0)     \
    X(aProj, Cut, None, 0) X(aSpra, Text, None, 0)                              \
    X(aIzme, Text, None, 0) X(aIzmk, Text, None, 0) X(aIzml, Text, None, 0)     \
    X(aNdoc, Text, None, 0) X(aIzmd, Text, None, 0)                             \
    X(aJob1, Text, None, 0) X(aJob2, Text, None, 0) X(aJob3, Text, None, 0)     \
    X(aJob4, Text, None, 0) X(aJob5, Text, None, 0) X(aJob6, Text, None, 0)     \
    X(aJob7, Text, None, 0) X(aJob8, Text, None, 0) X(aJob9, Text, None, 0)     \
    X(aDesi, Text, None, 0) X(aChec, Text, None, 0) X(aTcon, Text, None, 0)     \
    X(aAddb, Text, None, 0) X(aAddf, Text, None, 0) X(aNcon, Text, None, 0)     \
    X(aAppr, Text, None, 0)                                                     \
    X(aFam7, Text, None, 0) X(aFam8, Text, None, 0) X(aFam9, Text, None, 0)     \
    X(aDesd, Text, None, 0) X(aChed, Text, None, 0) X(aTcod, Text, None, 0)     \
    X(aAddd, Text, None, 0) X(aNcod, Text, None, 0) X(aAppd, Text, None, 0)     \
    X(aDat7, Text, None, 0) X(aDat8, Text, None, 0) X(aDat9, Text, None, 0)     \
    X(aAlit, Text, None, 0) X(aAdoc, Text, None, 0) X(aIcus, Text, None, 0)     \
    X(aOboz, Text, None, 0)                                                     \
    X(aNaim, Whole, Naim, 0) X(aNaim1, Line, Naim, 1)                           \
    X(aNaim2, Line, Naim, 2) X(aNaim3, Line, Naim, 3)                           \
    X(aNaimDB, OneLine, Naim, 0) X(NaimCrLf, Breaks, Naim, 0)                   \
    X(aTdoc, Whole, Tdoc, 0) X(aTdoc1, Line, Tdoc, 1)                           \
    X(aTdoc2, Line, Tdoc, 2) X(aTdoc3, Line, Tdoc, 3)                           \
    X(aTdocDB, OneLine, Tdoc, 0) X(TdocCrLf, Breaks, Tdoc, 0)                   \
    X(aMate, Whole, Mate, 0) X(aMate1, Line, Mate, 1)                           \
    X(aMate2, Line, Mate, 2) X(aMate3, Line, Mate, 3)                           \
    X(aMateDB, OneLine, Mate, 0) X(MateCrLf, Breaks, Mate, 0)                   \
    X(aMateAI, Text, None, 0) X(aDensAI, Numeric, None, 0)                      \
    X(aLite, Text, None, 0) X(aMass, Text, None, 0) X(aScal, Text, None, 0)     \
    X(aPage, Text, None, 0) X(aPags, Text, None, 0)                             \
    X(aFirm, Whole, Firm, 0) X(aFirm1, Line, Firm, 1)                           \
    X(aFirm2, Line, Firm, 2) X(aFirm3, Line, Firm, 3)                           \
    X(aFirmDB, OneLine, Firm, 0) X(FirmCrLf, Breaks, Firm, 0)                   \
    X(aForm, Text, None, 0)                                                     \
    X(aInpo, Text, None, 0) X(aInpd, Text, None, 0) X(aInvz, Text, None, 0)     \
    X(aIndu, Text, None, 0) X(aIndd, Text, None, 0)                             \
    X(aFileAI, Text, None, 0)

/// One property, named as the interface names it.
enum class AttrProp : int {
#define ORMELIN_ATTRDOC_ENUM(name, kind, group, line) name,
    ORMELIN_ATTRDOC_PROPERTIES(ORMELIN_ATTRDOC_ENUM)
#undef ORMELIN_ATTRDOC_ENUM
};

inline constexpr std::size_t kAttrPropCount = 89;
inline constexpr long kAttrDocDispIdBase = 0x68030000;
inline constexpr long kAttrDocClearDispId = 0x60030059;

struct AttrPropInfo {
    std::string_view name;
    AttrKind kind;
    AttrGroup group;
    int line;     // 1..3 for a line of a composite, else 0
    long dispid;  // shared by the get and the let
    bool readOnly() const { return kind == AttrKind::OneLine || kind == AttrKind::Breaks; }
};

/// Every property in interface order (Department first, aFileAI last).
const std::array<AttrPropInfo, kAttrPropCount>& AttrDocProperties();
const AttrPropInfo& Info(AttrProp p);
/// The property of a name (compared without regard to ASCII case, as dispatch
/// names are), or nothing.
std::optional<AttrProp> FindAttrProp(std::string_view name);
/// The property of a dispatch identifier, or nothing.
std::optional<AttrProp> FindAttrProp(long dispid);

/// The numeric test of aDensAI: optional blanks, an optional sign, digits with
/// at most one decimal separator ("." or ","), an optional exponent.
bool AttrTextIsNumeric(std::string_view text);

/// Kinds of an automation call.
enum class InvokeKind : std::uint8_t { Method, PropertyGet, PropertyPut };

class AttrDoc {
public:
    /// A new record is cleared.
    AttrDoc();

    // ---- by property

    /// The text a text property returns. Throws Error(TypeMismatch) for an array property.
    std::string Get(AttrProp p) const;
    /// Stores a text by the property's rule. Throws Error(TypeMismatch) for an
    /// array property, Error(InvalidArgument) for a get-only one.
    void Let(AttrProp p, std::string_view value);
    /// The array of an array property (Stamp, Post, Postf, Postd); empty when never set.
    const std::vector<std::string>& GetArray(AttrProp p) const;
    void LetArray(AttrProp p, std::vector<std::string> value);

    // ---- by name, as text (the register code's access)

    /// Throws Error(InvalidArgument) for an unknown name.
    std::string GetText(std::string_view name) const;
    void LetText(std::string_view name, std::string_view value);

    /// Empties every text property, the wholes and lines of the composites
    /// included; the four arrays keep their contents.
    void Clear();

    // ---- the automation surface

    /// Calls a property (get or put; a get may also come as a method call
    /// without arguments) or Clear (a method). A put takes one argument: a
    /// text (numbers and Booleans are turned into text, an omitted argument is
    /// an empty text) or, for the arrays, an array of texts. Unknown
    /// identifiers, a put of a get-only property and wrong argument counts throw
    /// Error(InvalidArgument); an argument of the wrong type throws
    /// Error(TypeMismatch) and leaves the previous value.
    Variant Invoke(long dispid, InvokeKind kind, std::vector<Variant>& args);
    Variant Invoke(std::string_view name, InvokeKind kind, std::vector<Variant>& args);
    /// The dispatch identifier of a member name (properties and "Clear"), or nothing.
    static std::optional<long> GetIDOfName(std::string_view name);

    // ---- named accessors, one pair per property

#define ORMELIN_ATTRDOC_ACC_Text(n) \
    std::string n() const { return Get(AttrProp::n); } \
    void n(std::string_view v) { Let(AttrProp::n, v); }
#define ORMELIN_ATTRDOC_ACC_Cut(n) ORMELIN_ATTRDOC_ACC_Text(n)
#define ORMELIN_ATTRDOC_ACC_Numeric(n) ORMELIN_ATTRDOC_ACC_Text(n)
#define ORMELIN_ATTRDOC_ACC_Whole(n) ORMELIN_ATTRDOC_ACC_Text(n)
#define ORMELIN_ATTRDOC_ACC_Line(n) ORMELIN_ATTRDOC_ACC_Text(n)
#define ORMELIN_ATTRDOC_ACC_OneLine(n) \
    std::string n() const { return Get(AttrProp::n); }
#define ORMELIN_ATTRDOC_ACC_Breaks(n) ORMELIN_ATTRDOC_ACC_OneLine(n)
#define ORMELIN_ATTRDOC_ACC_Array(n) \
    Variant n() const { return GetArray(AttrProp::n); } \
    void n(const Variant& v) { LetArrayVariant(AttrProp::n, v); }
#define ORMELIN_ATTRDOC_ACC(name, kind, group, line) ORMELIN_ATTRDOC_ACC_##kind(name)
    ORMELIN_ATTRDOC_PROPERTIES(ORMELIN_ATTRDOC_ACC)
#undef ORMELIN_ATTRDOC_ACC
#undef ORMELIN_ATTRDOC_ACC_Array
#undef ORMELIN_ATTRDOC_ACC_Breaks
#undef ORMELIN_ATTRDOC_ACC_OneLine
#undef ORMELIN_ATTRDOC_ACC_Line
#undef ORMELIN_ATTRDOC_ACC_Whole
#undef ORMELIN_ATTRDOC_ACC_Numeric
#undef ORMELIN_ATTRDOC_ACC_Cut
#undef ORMELIN_ATTRDOC_ACC_Text

private:
    /// Stores the array a variant holds; Error(TypeMismatch) when it holds none.
    void LetArrayVariant(AttrProp p, const Variant& v);
    std::string Joined(AttrGroup g) const;

    std::array<std::string, kAttrPropCount> texts_;
    std::array<std::vector<std::string>, 4> arrays_;
};

using clsAttrDoc = AttrDoc;

}  // namespace ormelin
