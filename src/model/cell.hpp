// The embedded model's cell record, kept small: a formed sheet holds millions of
// cells, most of them frame cells with a style and nothing else.
//
// A cell takes 24 bytes: its column, its own style (an id, or none), its value in
// one 64-bit word (a number, boolean or error inline, a text out of line) and one
// pointer to what few cells have (the formula, a text's formatted runs). The members read and assign the
// way the plain types they replace do (`std::optional<StyleId>`, `host::Value`),
// so the code over cells reads the same.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "ormelin/model.hpp"
#include "ormelin/rich_text.hpp"

namespace ormelin::model::detail {

/// A cell's own style or none, in four bytes: "none" is an id no style table
/// reaches.
class StyleSlot {
public:
    StyleSlot() = default;
    StyleSlot(std::nullopt_t) {}
    StyleSlot(StyleId id) : id_(id) {}
    StyleSlot(const std::optional<StyleId>& id) : id_(id ? *id : kNone) {}

    StyleSlot& operator=(std::nullopt_t) { return reset(), *this; }
    StyleSlot& operator=(StyleId id) { return id_ = id, *this; }
    StyleSlot& operator=(const std::optional<StyleId>& id) { return id_ = id ? *id : kNone, *this; }

    bool has_value() const { return id_ != kNone; }
    explicit operator bool() const { return has_value(); }
    StyleId operator*() const { return id_; }
    StyleId value_or(StyleId otherwise) const { return has_value() ? id_ : otherwise; }
    void reset() { id_ = kNone; }
    operator std::optional<StyleId>() const { return has_value() ? std::optional<StyleId>(id_) : std::nullopt; }

    friend bool operator==(const StyleSlot&, const StyleSlot&) = default;

private:
    static constexpr StyleId kNone = std::numeric_limits<StyleId>::max();
    StyleId id_ = kNone;
};

/// A cell's value (empty, text, number, boolean or error) in one 64-bit word.
///
/// A text is a pointer to its own block (its length, then its bytes) stored as it
/// is: the upper 16 bits of a user-space address are zero. A number is stored as
/// its bits plus 2^49, which puts the upper 16 bits of every number between 0x0002
/// (the smallest positive numbers) and 0xFFF2 (minus infinity); every NaN is
/// stored as the one quiet NaN. Upper bits 0x0001 mark the other kinds.
class CellValue {
public:
    CellValue() = default;
    CellValue(const CellValue& other) : bits_(other.isText() ? MakeText(other.text()) : other.bits_) {}
    CellValue(CellValue&& other) noexcept : bits_(std::exchange(other.bits_, kEmpty)) {}
    CellValue& operator=(const CellValue& other) {
        if (this != &other) Replace(other.isText() ? MakeText(other.text()) : other.bits_);
        return *this;
    }
    CellValue& operator=(CellValue&& other) noexcept {
        if (this != &other) Replace(std::exchange(other.bits_, kEmpty));
        return *this;
    }
    ~CellValue() { Release(); }

    CellValue& operator=(std::monostate) { return Replace(kEmpty), *this; }
    CellValue& operator=(const host::Value& v) { return Replace(Encode(v)), *this; }

    bool empty() const { return bits_ == kEmpty; }
    bool isText() const { return (bits_ >> 48) == 0; }
    std::string_view text() const {
        if (bits_ == 0) return {};
        const char* block = reinterpret_cast<const char*>(static_cast<std::uintptr_t>(bits_));
        std::uint32_t size = 0;
        std::memcpy(&size, block, sizeof size);
        return {block + sizeof size, size};
    }
    bool isNumber() const { return (bits_ >> 48) >= 2; }
    double number() const {
        const std::uint64_t raw = bits_ - kNumberOffset;
        double d = 0;
        std::memcpy(&d, &raw, sizeof d);
        return d;
    }

    /// The value as the host's variant.
    host::Value get() const {
        if (isNumber()) return number();
        if (isText()) return std::string(text());
        if (bits_ == kFalse || bits_ == kTrue) return bits_ == kTrue;
        if ((bits_ & ~kErrorCode) == kError) return static_cast<host::CellError>(bits_ & kErrorCode);
        return {};
    }
    operator host::Value() const { return get(); }

private:
    static constexpr std::uint64_t kOther = std::uint64_t{1} << 48;
    static constexpr std::uint64_t kEmpty = kOther;
    static constexpr std::uint64_t kFalse = kOther | 2;
    static constexpr std::uint64_t kTrue = kOther | 3;
    static constexpr std::uint64_t kError = kOther | 0x100;
    static constexpr std::uint64_t kErrorCode = 0xFF;
    static constexpr std::uint64_t kNumberOffset = std::uint64_t{1} << 49;
    static constexpr std::uint64_t kQuietNaN = 0x7FF8000000000000ULL;

    static std::uint64_t MakeText(std::string_view s) {
        if (s.empty()) return 0;
        if (s.size() > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("cell text too long");
        const auto size = static_cast<std::uint32_t>(s.size());
        char* block = static_cast<char*>(::operator new(sizeof size + s.size()));
        std::memcpy(block, &size, sizeof size);
        std::memcpy(block + sizeof size, s.data(), s.size());
        const auto address = reinterpret_cast<std::uintptr_t>(block);
        if ((static_cast<std::uint64_t>(address) >> 48) != 0) {  // beyond a 48-bit address space
            ::operator delete(block);
            throw std::bad_alloc();
        }
        return static_cast<std::uint64_t>(address);
    }
    static std::uint64_t Encode(const host::Value& v) {
        switch (v.index()) {
            case 1: return MakeText(std::get<std::string>(v));
            case 2: {
                const double d = std::get<double>(v);
                std::uint64_t raw = kQuietNaN;
                if (!std::isnan(d)) std::memcpy(&raw, &d, sizeof raw);
                return raw + kNumberOffset;
            }
            case 3: return std::get<bool>(v) ? kTrue : kFalse;
            case 4: return kError | static_cast<std::uint64_t>(std::get<host::CellError>(v));
            default: return kEmpty;
        }
    }
    void Release() {
        if (bits_ != 0 && isText()) ::operator delete(reinterpret_cast<char*>(static_cast<std::uintptr_t>(bits_)));
    }
    void Replace(std::uint64_t bits) {
        Release();
        bits_ = bits;
    }

    std::uint64_t bits_ = kEmpty;
};

/// What few cells hold beyond a value and a style, kept out of the cell.
struct CellExtra {
    std::string formula;                          // R1C1, beginning with "="
    std::shared_ptr<const host::RichText> runs;  // formatted runs of a text value; null: plain
    bool empty() const { return formula.empty() && !runs; }
};

/// The owner of a cell's extra block; copying a cell copies it.
class ExtraPtr {
public:
    ExtraPtr() = default;
    ExtraPtr(const ExtraPtr& other) : p_(other.p_ ? std::make_unique<CellExtra>(*other.p_) : nullptr) {}
    ExtraPtr(ExtraPtr&&) noexcept = default;
    ExtraPtr& operator=(const ExtraPtr& other) {
        if (this != &other) p_ = other.p_ ? std::make_unique<CellExtra>(*other.p_) : nullptr;
        return *this;
    }
    ExtraPtr& operator=(ExtraPtr&&) noexcept = default;

    const CellExtra* get() const { return p_.get(); }
    /// The block, made when the cell had none.
    CellExtra& make() {
        if (!p_) p_ = std::make_unique<CellExtra>();
        return *p_;
    }
    /// Drops the block once nothing is left in it.
    void dropIfEmpty() {
        if (p_ && p_->empty()) p_.reset();
    }

private:
    std::unique_ptr<CellExtra> p_;
};

struct Cell {
    int col = 1;
    StyleSlot style;    // the cell's own style
    CellValue value;   // a formula's cached value for a formula cell
    ExtraPtr extra;    // the formula and the runs; null for most cells

    /// R1C1, beginning with "="; empty for a plain value.
    const std::string& formula() const {
        static const std::string none;
        return extra.get() ? extra.get()->formula : none;
    }
    bool hasFormula() const { return extra.get() && !extra.get()->formula.empty(); }
    /// The formatted runs of a text value; null for a plain one.
    const std::shared_ptr<const host::RichText>& runs() const {
        static const std::shared_ptr<const host::RichText> none;
        return extra.get() ? extra.get()->runs : none;
    }
    void setRuns(std::shared_ptr<const host::RichText> runs) {
        if (!runs && !extra.get()) return;
        extra.make().runs = std::move(runs);
        extra.dropIfEmpty();
    }
    void setFormula(std::string formulaR1C1) {
        if (formulaR1C1.empty() && !extra.get()) return;
        extra.make().formula = std::move(formulaR1C1);
        extra.dropIfEmpty();
    }
    /// Removes the value, the formula and the runs; the style stays.
    void clearContent() {
        value = std::monostate{};
        setFormula({});
        setRuns(nullptr);
    }
    bool hasContent() const { return !value.empty() || hasFormula(); }
    bool blank() const { return !hasContent() && !style; }
};

static_assert(sizeof(Cell) == 24, "a cell stays at 24 bytes: new members belong in CellExtra");

}  // namespace ormelin::model::detail
