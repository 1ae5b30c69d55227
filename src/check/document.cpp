// Reading a document for the rules: its fields' columns from its column heads,
// its printed sheets from the form's geometry, its list rows and its title block.
#include <algorithm>
#include <array>
#include <cstring>

#include "check/check.hpp"
#include "forming/forming.hpp"
#include "forming/rollback.hpp"
#include "recognition/recognition.hpp"

namespace ormelin::check {

namespace {

/// The column heads that name each field, as lists and formed documents show them.
struct FieldHead {
    Field field;
    const char* text;
};

constexpr FieldHead kHeads[] = {
    {Field::Format, "Формат"},
    {Field::Zone, "Зона"},
    {Field::Position, "Поз."},
    {Field::Position, kinds::kPoz},
    {Field::Designation, "Обозначение"},
    {Field::Name, "Наименование"},
    {Field::Quantity, "Кол."},
    {Field::Quantity, "Кол. на исполн."},
    {Field::Note, "Примечание"},
    {Field::Note, kinds::kPrim},
    {Field::Code, "Код продукции"},
    {Field::Document, kinds::kVpaOboz},
    {Field::Supplier, "Поставщик"},
    {Field::WhereUsed, "Куда входит (обозначение)"},
    {Field::PerProduct, "на из-\nделие"},
    {Field::InSets, "в ком-\nплекты"},
    {Field::ForTuning, "на ре-\nгулир."},
    {Field::Total, "всего"},
};

std::string Trimmed(std::string s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.back())) s.pop_back();
    std::size_t i = 0;
    while (i < s.size() && blank(s[i])) ++i;
    return s.substr(i);
}

bool Shows(const host::Worksheet& w, int row, int column, const char* text) {
    return row >= 1 && column >= 1 && text && w.CellText(row, column) == text;
}

TitleCell Moved(forming::TitleCells::Cell c, int rows, int columns) { return {c.row + rows, c.column + columns}; }

}  // namespace

std::optional<Date> ParseDate(const std::string& text) {
    int part[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int p = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            if (digits[p] >= 4) return std::nullopt;
            part[p] = part[p] * 10 + (c - '0');
            ++digits[p];
        } else if (c == '.' && p < 2 && digits[p] > 0) {
            ++p;
        } else {
            return std::nullopt;
        }
    }
    if (p != 2 || digits[0] > 2 || digits[1] > 2 || (digits[2] != 2 && digits[2] != 4)) return std::nullopt;
    Date d{digits[2] == 2 ? 2000 + part[2] : part[2], part[1], part[0]};
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > kDays[d.month - 1]) return std::nullopt;
    const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
    if (d.month == 2 && d.day == 29 && !leap) return std::nullopt;
    return d;
}

bool ListRow::Empty() const {
    return std::all_of(std::begin(text), std::end(text), [](const std::string& t) { return t.empty(); });
}

Document::Document(const host::Worksheet& sheet, Date today)
    : sheet_(sheet), state_(recognition::StateOf(sheet)), today_(today) {
    const bool group = StateEntryOf(state_).form == FormId::A4LandscapeGroup;
    if (Formed()) geometry_ = forming::GeometryOf(StateEntryOf(state_).form);
    if (geometry_ && group && Shows(sheet_, geometry_->firstBottomLine, geometry_->bottomLine.column + 1,
                                    geometry_->bottomLine.text))
        geometry_ = &forming::kA4LandscapeGroupMoved;
    ReadColumns(Formed() && group ? 3 : 1);
    if (geometry_) ReadSheets();
    ReadRows();
}

std::string Document::Text(int row, int column) const {
    if (row < 1 || column < 1) return {};
    return Trimmed(sheet_.CellText(row, column));
}

void Document::ReadColumns(int headRow) {
    const int last = std::min(sheet_.UsedRange().c2, 80);
    for (int r = headRow; r <= headRow + 1; ++r) {
        for (int c = 1; c <= last; ++c) {
            const std::string text = sheet_.CellText(r, c);
            if (text.empty()) continue;
            for (const FieldHead& h : kHeads) {
                // Under the heads only the quantities' sub-heads: the next row may be a list row.
                if (r > headRow && h.field < Field::PerProduct) continue;
                int& column = columns_[static_cast<int>(h.field)];
                if (column == 0 && text == h.text) column = c;
            }
        }
    }
}

void Document::ReadSheets() {
    const forming::SheetGeometry& g = *geometry_;
    const bool group = StateEntryOf(state_).form == FormId::A4LandscapeGroup;
    std::vector<forming::RowSpan> spans;
    if (group) {
        // The group specification's sheets stand where its geometry puts them; its
        // change-registration sheet has no bottom line of its own.
        int count = 0;
        while (Shows(sheet_, forming::BottomLineOf(g, count + 1), g.bottomLine.column, g.bottomLine.text)) ++count;
        if (count == 0) {
            formFault_ = Message("no bottom line \"{1}\" in row {2}: the sheets cannot be told apart");
            formFaultArgs_ = {g.bottomLine.text, std::to_string(g.firstBottomLine)};
            formFaultRow_ = g.firstBottomLine;
            return;
        }
        const int last = forming::BottomLineOf(g, count);
        const bool registration = Shows(sheet_, last + g.registrationHeading.row - 1, g.registrationHeading.column,
                                        g.registrationHeading.text);
        const int sheets = count + (registration ? 1 : 0);
        spans = forming::InsertedRowsOf(g, sheets, registration);
        for (int k = 1; k <= sheets; ++k) {
            PrintedSheet s;
            s.firstRow = forming::FirstRowOf(g, k);
            s.registration = registration && k == sheets;
            s.bottomLine = s.registration ? last + g.registration.rows : forming::BottomLineOf(g, k);
            sheets_.push_back(s);
        }
    } else {
        // Every sheet ends at a bottom line (the change-registration sheet of the A3
        // form at its A4 one); its title block and top rows are where the geometry
        // puts them from there, and must show the form's marks.
        std::vector<int> columns = {g.bottomLine.column};
        for (const forming::RowMark& m : g.registration.titleMarks)
            if (m.row == 0 && m.text && std::strcmp(m.text, g.bottomLine.text) == 0 && m.column != g.bottomLine.column)
                columns.push_back(m.column);
        std::vector<int> bottoms;
        const int lastRow = sheet_.UsedRange().r2;
        for (int r = g.firstBottomLine; r <= lastRow; ++r)
            for (const int c : columns)
                if (Shows(sheet_, r, c, g.bottomLine.text)) {
                    bottoms.push_back(r);
                    break;
                }
        int first = 1;
        for (std::size_t k = 0; k < bottoms.size(); ++k) {
            PrintedSheet s;
            s.firstRow = first;
            s.bottomLine = bottoms[k];
            s.registration = k > 0 && k + 1 == bottoms.size() &&
                             Shows(sheet_, first + g.registrationHeading.row - 2, g.registrationHeading.column,
                                   g.registrationHeading.text);
            const forming::InsertedSheetRows& rows = k == 0 ? g.first : s.registration ? g.registration : g.further;
            for (const forming::RowMark& m : rows.titleMarks) {
                if (!m.text || Shows(sheet_, s.bottomLine + m.row, m.column, m.text)) continue;
                formFault_ = Message("row {1} does not show \"{2}\" in column {3}: the sheets cannot be told apart");
                formFaultArgs_ = {std::to_string(s.bottomLine + m.row), m.text, host::ColumnLetters(m.column)};
                formFaultRow_ = s.bottomLine + m.row;
                sheets_.clear();
                return;
            }
            if (k > 0 && rows.topTo >= rows.topFrom) spans.push_back({first - 1 + rows.topFrom - 1, first - 1 + rows.topTo - 1});
            spans.push_back({s.bottomLine - rows.titleRows + 1, s.bottomLine});
            sheets_.push_back(s);
            first = s.bottomLine + 1;
        }
        if (sheets_.empty()) {
            formFault_ = Message("no bottom line \"{1}\" in row {2}: the sheets cannot be told apart");
            formFaultArgs_ = {g.bottomLine.text, std::to_string(g.firstBottomLine)};
            formFaultRow_ = g.firstBottomLine;
            return;
        }
    }
    for (const forming::RowSpan& span : spans) inserted_.emplace_back(span.from, span.to);
    // "Лист" of every further sheet: two rows under its label.
    for (std::size_t k = 1; k < sheets_.size(); ++k) {
        const forming::InsertedSheetRows& rows = sheets_[k].registration ? g.registration : g.further;
        for (const forming::RowMark& m : rows.titleMarks)
            if (m.text && std::strcmp(m.text, "Лист") == 0)
                sheets_[k].number = TitleCell{sheets_[k].bottomLine + m.row + 2, m.column};
    }
    // The first sheet's title block, where the first bottom line puts it.
    const int shift = sheets_.empty() ? 0 : sheets_.front().bottomLine - g.firstBottomLine;
    const int columns = geometry_ == &forming::kA4LandscapeGroupMoved ? 1 : 0;
    const forming::TitleCells t = forming::FirstTitleCells(StateEntryOf(state_).form);
    TitleBlock b;
    b.designation = Moved(t.designation, shift, columns);
    b.name = Moved(t.name, shift, columns);
    b.letter = Moved(t.letter, shift, columns);
    b.organisation = Moved(t.organisation, shift, columns);
    b.change = Moved(t.change, shift, columns);
    b.changeDocument = Moved(t.changeDocument, shift, columns);
    for (int r = t.firstSignatureRow; r < t.firstSignatureRow + 5; ++r) {
        b.signatures.push_back({{r + shift, t.labelColumn + columns},
                                {r + shift, t.surnameColumn + columns},
                                {r + shift, t.dateColumn + columns}});
    }
    title_ = b;
}

void Document::ReadRows() {
    int first = FirstDataRow(Kind());
    int last = sheet_.UsedRange().r2;
    if (Formed()) {
        if (!geometry_ || sheets_.empty()) return;
        first = StateEntryOf(state_).form == FormId::A4LandscapeGroup ? 5 : geometry_->headRows + 1;
        last = sheets_.back().registration ? sheets_.back().firstRow - 1 : sheets_.back().bottomLine;
    } else if (!List()) {
        return;
    }
    auto inserted = [&](int row) {
        for (const auto& [from, to] : inserted_)
            if (row >= from && row <= to) return true;
        return false;
    };
    // Empty rows after the last entry tell nothing: a list whose used range runs on
    // (formats far below its rows) is read up to a long run of them.
    constexpr int kEmptyRunEnd = 1000;
    int emptyRun = 0;
    std::size_t k = 0;
    for (int r = first; r <= last && emptyRun < kEmptyRunEnd; ++r) {
        while (k + 1 < sheets_.size() && r > sheets_[k].bottomLine) ++k;
        if (inserted(r)) {
            if (!rows_.empty() && rows_.back().row == r - 1) rows_.back().sheetEnd = true;
            continue;
        }
        ListRow row;
        row.row = r;
        row.sheet = static_cast<int>(k) + 1;
        for (int f = 0; f < static_cast<int>(Field::Count); ++f)
            if (columns_[f]) row.text[f] = Text(r, columns_[f]);
        emptyRun = row.Empty() ? emptyRun + 1 : 0;
        rows_.push_back(std::move(row));
    }
    while (!rows_.empty() && rows_.back().Empty() && !Formed()) rows_.pop_back();
    if (Formed() && !rows_.empty()) rows_.back().sheetEnd = true;
}

}  // namespace ormelin::check
