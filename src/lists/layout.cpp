#include "lists/layout.hpp"

#include <string>

#include "base/text.hpp"

namespace ormelin::lists {

namespace {

host::Value DerivedValue(const host::Worksheet& w, Derived d) {
    std::string name = w.Name();
    if (d == Derived::NameHyphen) return name + "-";
    // A designation followed by a note in parentheses: the designation alone.
    const auto p = name.find('(');
    if (p != std::string::npos) name = text::Trim(name.substr(0, p));
    return name;
}

bool Applies(When when, bool bOtkat) {
    switch (when) {
        case When::Always: return true;
        case When::List: return !bOtkat;
        case When::Rollback: return bOtkat;
    }
    return false;
}

}  // namespace

void ApplyLayout(const std::shared_ptr<host::Worksheet>& sheet, const std::vector<Step>& steps, bool bOtkat) {
    if (!sheet) throw Error(ErrorCode::ObjectRequired);
    host::Worksheet& w = *sheet;
    for (const Step& s : steps) {
        const host::Range r(sheet, host::ParseAddress(s.range));
        if (s.width > 0) r.ColumnWidth(s.width);
        if (!s.format.empty()) r.ApplyFormat(s.format);
        if (!bOtkat && !s.listFormat.empty()) r.ApplyFormat(s.listFormat);
        if (s.clearContents) r.ClearContents();
        if (s.merge) r.Merge();
        if (s.link != Link::None)
            r.Item(1, 1).AddHyperlink(std::string(), kLinkSubAddress,
                                      s.link == Link::WithText ? kLinkText : std::string());
        if (Applies(s.when, bOtkat)) {
            const host::Range target = s.merge ? r.Item(1, 1) : r;
            if (s.derived != Derived::None)
                target.SetValue(DerivedValue(w, s.derived));
            else if (s.values.size() == 1)
                target.SetValue(s.values.front());
            else if (!s.values.empty())
                target.Values(s.values);
        }
        if (s.rowHeight > 0) r.RowHeight(s.rowHeight);
        if (s.select) r.Select();
    }
}

}  // namespace ormelin::lists
