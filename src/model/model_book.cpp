// The embedded model's style table, workbook, application, window and scripted UI.
#include <algorithm>
#include <deque>
#include <unordered_map>

#include "model/model_impl.hpp"
#include "model/names.hpp"
#include "base/text.hpp"

namespace ormelin::model {

// ---------------------------------------------------------------- styles

struct StyleTable::Impl {
    struct Hash {
        std::size_t operator()(const Style& s) const noexcept { return host::HashStyle(s); }
    };
    std::deque<Style> styles;  // a deque keeps references to entries valid as it grows
    std::unordered_map<Style, StyleId, Hash> index;
};

StyleTable::StyleTable() : impl_(std::make_shared<Impl>()) { Intern(Style{}); }

StyleId StyleTable::Intern(const Style& style) {
    if (auto it = impl_->index.find(style); it != impl_->index.end()) return it->second;
    const auto id = static_cast<StyleId>(impl_->styles.size());
    impl_->styles.push_back(style);
    impl_->index.emplace(style, id);
    return id;
}

const Style& StyleTable::Get(StyleId id) const {
    if (id >= impl_->styles.size()) throw Error(ErrorCode::InvalidArgument, "No such style");
    return impl_->styles[id];
}

std::size_t StyleTable::Size() const { return impl_->styles.size(); }

// ---------------------------------------------------------------- names

namespace detail {

void CheckSheetName(const ModelWorkbook& book, const std::string& name, const ModelWorksheet* except) {
    const std::size_t len = text::Length(name);
    if (len == 0 || len > 31) throw Error(Refusal::SheetNameLength);
    if (name.find_first_of("[]:*?/\\") != std::string::npos)
        throw Error(Refusal::SheetNameCharacters);
    if (name.front() == '\'' || name.back() == '\'')
        throw Error(Refusal::SheetNameApostrophe);
    const std::string folded = text::Fold(name);
    for (int i = 1; i <= book.Count(); ++i) {
        auto sheet = book.ModelSheet(i);
        if (sheet.get() == except) continue;
        if (text::Fold(sheet->Name()) == folded)
            throw Error(Refusal::SheetNameTaken);
    }
}

}  // namespace detail

// ---------------------------------------------------------------- workbook

struct ModelWorkbook::Impl {
    ModelApplication* app = nullptr;  // null once the application is gone
    std::string name;
    std::string path;
    StyleTable styles;
    std::vector<std::shared_ptr<ModelWorksheet>> sheets;
    int active = 0;  // 0-based
    detail::BookData data;  // the sheets as formulas see them
    DocumentProperties properties;
    std::string theme;
    bool date1904 = false;

    void join(ModelWorksheet& sheet);
};

namespace {

std::string FileNamePart(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void ModelWorkbook::Impl::join(ModelWorksheet& sheet) {
    sheet.impl_->bookData = &data;
    data.sheets.push_back(sheet.impl_.get());
}

ModelWorkbook::ModelWorkbook(ModelApplication& app, std::string name) : impl_(std::make_unique<Impl>()) {
    impl_->app = &app;
    impl_->name = std::move(name);
}

ModelWorkbook::~ModelWorkbook() {
    for (auto& sheet : impl_->sheets) {
        sheet->impl_->deleted = true;
        sheet->impl_->book = nullptr;
        sheet->impl_->bookData = nullptr;
    }
}

std::string ModelWorkbook::Name() const { return impl_->path.empty() ? impl_->name : FileNamePart(impl_->path); }

std::string ModelWorkbook::FullName() const { return impl_->path.empty() ? impl_->name : impl_->path; }

bool ModelWorkbook::HasPath() const { return !impl_->path.empty(); }

host::Application& ModelWorkbook::Parent() const {
    if (!impl_->app) throw Error(ErrorCode::ObjectDeleted, "The application is gone");
    return *impl_->app;
}

int ModelWorkbook::Count() const { return static_cast<int>(impl_->sheets.size()); }

std::shared_ptr<host::Worksheet> ModelWorkbook::Sheet(int index) const { return ModelSheet(index); }

std::shared_ptr<ModelWorksheet> ModelWorkbook::ModelSheet(int index) const {
    if (index < 1 || index > Count()) throw Error(ErrorCode::SubscriptOutOfRange);
    return impl_->sheets[index - 1];
}

std::shared_ptr<host::Worksheet> ModelWorkbook::Sheet(const std::string& name) const {
    auto sheet = FindSheet(name);
    if (!sheet) throw Error(ErrorCode::SubscriptOutOfRange);
    return sheet;
}

std::shared_ptr<host::Worksheet> ModelWorkbook::FindSheet(const std::string& name) const {
    const std::string folded = text::Fold(name);
    for (const auto& sheet : impl_->sheets) {
        if (text::Fold(sheet->impl_->name) == folded) return sheet;
    }
    return nullptr;
}

namespace {

int IndexOf(const std::vector<std::shared_ptr<ModelWorksheet>>& sheets, const host::Worksheet* sheet) {
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        if (sheets[i].get() == sheet) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

std::shared_ptr<host::Worksheet> ModelWorkbook::Add(const host::Worksheet* before, const host::Worksheet* after) {
    auto& sheets = impl_->sheets;
    std::size_t pos = sheets.size();
    if (before) {
        if (before->IsDeleted()) throw Error(ErrorCode::ObjectDeleted);
        int i = IndexOf(sheets, before);
        if (i < 0) throw Error(Refusal::SheetOfAnotherWorkbook);
        pos = static_cast<std::size_t>(i);
    } else if (after) {
        if (after->IsDeleted()) throw Error(ErrorCode::ObjectDeleted);
        int i = IndexOf(sheets, after);
        if (i < 0) throw Error(Refusal::SheetOfAnotherWorkbook);
        pos = static_cast<std::size_t>(i) + 1;
    }
    // the first free "Лист<n>"
    std::string name;
    for (int n = 1;; ++n) {
        name = "Лист" + std::to_string(n);
        if (!FindSheet(name)) break;
    }
    auto sheet = std::make_shared<ModelWorksheet>(*this, name);
    sheets.insert(sheets.begin() + static_cast<std::ptrdiff_t>(pos), sheet);
    impl_->join(*sheet);
    impl_->active = static_cast<int>(pos);
    return sheet;
}

void ModelWorkbook::MoveSheet(const ModelWorksheet& sheet, const host::Worksheet* before, const host::Worksheet* after) {
    auto& sheets = impl_->sheets;
    const int from = IndexOf(sheets, &sheet);
    if (from < 0) throw Error(ErrorCode::ObjectDeleted);
    const host::Worksheet* anchor = before ? before : after;
    if (anchor == &sheet) return;
    if (anchor) {
        if (anchor->IsDeleted()) throw Error(ErrorCode::ObjectDeleted);
        if (IndexOf(sheets, anchor) < 0) throw Error(Refusal::SheetOfAnotherWorkbook);
    }
    auto active = sheets[static_cast<std::size_t>(impl_->active)];
    auto moved = sheets[static_cast<std::size_t>(from)];
    sheets.erase(sheets.begin() + from);
    std::size_t pos = sheets.size();
    if (anchor) {
        pos = static_cast<std::size_t>(IndexOf(sheets, anchor));
        if (!before) ++pos;
    }
    sheets.insert(sheets.begin() + static_cast<std::ptrdiff_t>(pos), moved);
    impl_->active = IndexOf(sheets, active.get());
}

std::shared_ptr<ModelWorksheet> ModelWorkbook::AddNamed(const std::string& name) {
    detail::CheckSheetName(*this, name, nullptr);
    auto sheet = std::make_shared<ModelWorksheet>(*this, name);
    impl_->sheets.push_back(sheet);
    impl_->join(*sheet);
    return sheet;
}

std::shared_ptr<host::Worksheet> ModelWorkbook::ActiveSheet() const {
    if (impl_->sheets.empty()) return nullptr;
    return impl_->sheets[static_cast<std::size_t>(impl_->active)];
}

void ModelWorkbook::SetActiveSheet(int index) {
    if (index < 1 || index > Count()) throw Error(ErrorCode::SubscriptOutOfRange);
    impl_->active = index - 1;
}

DocumentProperties& ModelWorkbook::Properties() { return impl_->properties; }
const DocumentProperties& ModelWorkbook::Properties() const { return impl_->properties; }
std::string& ModelWorkbook::Theme() { return impl_->theme; }
const std::string& ModelWorkbook::Theme() const { return impl_->theme; }
bool ModelWorkbook::Date1904() const { return impl_->date1904; }
void ModelWorkbook::Date1904(bool on) { impl_->date1904 = on; }

void ModelWorkbook::Activate() {
    if (!impl_->app) throw Error(ErrorCode::ObjectDeleted, "The application is gone");
    impl_->app->SetActiveWorkbook(std::static_pointer_cast<ModelWorkbook>(shared_from_this()));
}

void ModelWorkbook::Save() {
    SaveAs(impl_->path.empty() ? impl_->name + ".xlsx" : impl_->path);
}

void ModelWorkbook::SaveAs(const std::string& path) {
    if (!impl_->app) throw Error(ErrorCode::ObjectDeleted, "The application is gone");
    const Saver& saver = impl_->app->GetSaver();
    if (!saver) throw Error(ErrorCode::FileError, "No file writer is installed");
    if (path.empty()) throw Error(ErrorCode::FileError, "No file name");
    saver(*this, path);
    impl_->path = path;
}

StyleTable& ModelWorkbook::Styles() { return impl_->styles; }

const StyleTable& ModelWorkbook::Styles() const { return impl_->styles; }

void ModelWorkbook::SetPath(const std::string& path) { impl_->path = path; }

void ModelWorkbook::RemoveSheet(const ModelWorksheet& sheet) {
    auto& sheets = impl_->sheets;
    const int i = IndexOf(sheets, &sheet);
    if (i < 0) throw Error(ErrorCode::ObjectDeleted);
    if (sheets.size() == 1) throw Error(Refusal::LastSheet);
    auto keep = sheets[static_cast<std::size_t>(i)];
    // references to the sheet are lost before it goes
    detail::AdjustFormulas(*keep->impl_, formula::Change::DeleteSheet(keep->impl_->name));
    auto& data = impl_->data.sheets;
    data.erase(std::remove(data.begin(), data.end(), keep->impl_.get()), data.end());
    sheets.erase(sheets.begin() + i);
    if (impl_->active > i || impl_->active >= static_cast<int>(sheets.size())) --impl_->active;
    impl_->active = std::max(0, impl_->active);
    keep->impl_->deleted = true;
    keep->impl_->book = nullptr;
    keep->impl_->bookData = nullptr;
    keep->impl_->formulas = detail::FormulaCounts{};
    keep->impl_->rows = detail::RowStore{};
    keep->impl_->cols.clear();
    keep->impl_->links.clear();
}

// ---------------------------------------------------------------- window

namespace {

class ModelWindow final : public host::Window {
public:
    explicit ModelWindow(ModelApplication& app) : app_(app) {}

    host::ViewMode View() const override { return view().view; }
    void View(host::ViewMode mode) override { view().view = mode; }
    bool FreezePanes() const override {
        const host::SheetView& v = view();
        return v.frozen || v.frozenRows > 0 || v.frozenColumns > 0;
    }
    void FreezePanes(bool on) override {
        host::SheetView& v = view();
        v.frozen = on;
        if (on) {
            v.frozenRows = v.selection.r1 - 1;
            v.frozenColumns = v.selection.c1 - 1;
        } else {
            v.frozenRows = 0;
            v.frozenColumns = 0;
        }
    }
    int SplitRow() const override { return view().frozenRows; }
    int SplitColumn() const override { return view().frozenColumns; }
    bool DisplayZeros() const override { return view().displayZeros; }
    void DisplayZeros(bool on) override { view().displayZeros = on; }
    bool DisplayGridlines() const override { return view().displayGridlines; }
    void DisplayGridlines(bool on) override { view().displayGridlines = on; }
    int Zoom() const override { return view().zoom; }
    void Zoom(int percent) override {
        if (percent < 10 || percent > 400) throw Error(Refusal::ZoomOutOfRange);
        view().zoom = percent;
    }
    int ScrollRow() const override { return view().scrollRow; }
    void ScrollRow(int row) override {
        if (row < 1 || row > host::kMaxRows) throw Error(Refusal::NoSuchRow);
        view().scrollRow = row;
    }

private:
    host::SheetView& view() const {
        auto book = app_.ActiveWorkbook();
        if (!book) throw Error(ErrorCode::ObjectRequired, "No workbook is open");
        auto sheet = book->ActiveSheet();
        if (!sheet) throw Error(ErrorCode::ObjectRequired, "The workbook has no sheet");
        return sheet->View();
    }
    ModelApplication& app_;
};

}  // namespace

// ---------------------------------------------------------------- application

struct ModelApplication::Impl {
    explicit Impl(ModelApplication& app, std::shared_ptr<host::Ui> u) : ui(std::move(u)), window(app) {}
    std::shared_ptr<host::Ui> ui;
    bool screenUpdating = true;
    bool displayAlerts = true;
    int screenUpdatingChanges = 0;
    int workbookCounter = 0;
    std::vector<std::shared_ptr<ModelWorkbook>> books;
    std::shared_ptr<ModelWorkbook> active;
    Saver saver;
    ModelWindow window;
};

ModelApplication::ModelApplication(std::shared_ptr<host::Ui> ui)
    : impl_(std::make_unique<Impl>(*this, ui ? std::move(ui) : std::make_shared<ScriptedUi>())) {}

ModelApplication::~ModelApplication() {
    for (auto& book : impl_->books) book->impl_->app = nullptr;
}

bool ModelApplication::ScreenUpdating() const { return impl_->screenUpdating; }

void ModelApplication::ScreenUpdating(bool on) {
    if (on != impl_->screenUpdating) ++impl_->screenUpdatingChanges;
    impl_->screenUpdating = on;
}

bool ModelApplication::DisplayAlerts() const { return impl_->displayAlerts; }

void ModelApplication::DisplayAlerts(bool on) { impl_->displayAlerts = on; }

std::string ModelApplication::Name() const { return "Microsoft Excel"; }

host::Window& ModelApplication::ActiveWindow() {
    if (!impl_->active) throw Error(ErrorCode::ObjectRequired, "No workbook is open");
    return impl_->window;
}

std::shared_ptr<host::Workbook> ModelApplication::ActiveWorkbook() const { return impl_->active; }

std::vector<std::shared_ptr<host::Workbook>> ModelApplication::Workbooks() const {
    return {impl_->books.begin(), impl_->books.end()};
}

host::Range ModelApplication::Selection() {
    if (!impl_->active) throw Error(ErrorCode::ObjectRequired, "No workbook is open");
    auto sheet = impl_->active->ActiveSheet();
    if (!sheet) throw Error(ErrorCode::ObjectRequired, "The workbook has no sheet");
    return host::Range(sheet, sheet->View().selection);
}

host::Ui& ModelApplication::UI() { return *impl_->ui; }

std::shared_ptr<host::Workbook> ModelApplication::AddWorkbook() { return NewWorkbook(); }

std::shared_ptr<ModelWorkbook> ModelApplication::NewWorkbook() {
    auto book = EmptyWorkbook();
    book->AddNamed("Лист1");
    return book;
}

void ModelApplication::CloseWorkbook(const std::shared_ptr<ModelWorkbook>& book) {
    auto& books = impl_->books;
    auto it = std::find(books.begin(), books.end(), book);
    if (it == books.end()) return;
    books.erase(it);
    book->impl_->app = nullptr;
    if (impl_->active == book) impl_->active = books.empty() ? nullptr : books.back();
}

std::shared_ptr<ModelWorkbook> ModelApplication::EmptyWorkbook() {
    auto book = std::make_shared<ModelWorkbook>(*this, "Книга" + std::to_string(++impl_->workbookCounter));
    impl_->books.push_back(book);
    impl_->active = book;
    return book;
}

void ModelApplication::SetActiveWorkbook(const std::shared_ptr<ModelWorkbook>& book) {
    if (!book) throw Error(ErrorCode::ObjectRequired);
    if (book->impl_->app != this) throw Error(Refusal::WorkbookOfAnotherApplication);
    // a workbook made directly (the loader does) joins the open workbooks here
    if (std::find(impl_->books.begin(), impl_->books.end(), book) == impl_->books.end()) impl_->books.push_back(book);
    impl_->active = book;
}

void ModelApplication::SetSaver(Saver saver) { impl_->saver = std::move(saver); }

const Saver& ModelApplication::GetSaver() const { return impl_->saver; }

int ModelApplication::ScreenUpdatingChanges() const { return impl_->screenUpdatingChanges; }

// ---------------------------------------------------------------- scripted UI

host::MsgResult ScriptedUi::MsgBox(const std::string& text, host::MsgButtons buttons, host::MsgIcon icon,
                                   const std::string& title) {
    messages.push_back(Message{text, buttons, icon, title});
    if (onMessage) onMessage(messages.back());
    if (answers.empty()) return host::MsgResult::OK;
    host::MsgResult r = answers.front();
    answers.pop_front();
    return r;
}

std::optional<std::string> ScriptedUi::GetSaveAsFilename(const std::string& initialFileName,
                                                         const std::string& fileFilter) {
    saveAsRequests.push_back(SaveAsRequest{initialFileName, fileFilter});
    if (saveAsAnswers.empty()) return std::nullopt;
    auto r = saveAsAnswers.front();
    saveAsAnswers.pop_front();
    return r;
}

}  // namespace ormelin::model
