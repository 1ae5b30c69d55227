// The Calc host's workbook, window and application, and the sheets' page setup
// and view, which Calc keeps elsewhere (page styles, the controller).
#include <algorithm>
#include <cmath>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XNamedRanges.hpp>
#include <com/sun/star/sheet/XPrintAreas.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/sheet/XViewFreezable.hpp>
#include <com/sun/star/sheet/XViewPane.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>
#include <com/sun/star/util/NumberFormat.hpp>
#include <com/sun/star/util/XNumberFormatTypes.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>
#include <rtl/uri.hxx>
#include <osl/file.hxx>

#include "calc_host.hpp"
#include "calc_timing.hpp"

using namespace css;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

namespace ormelin::calc {

OUString U(const std::string& s) { return OUString(s.data(), static_cast<sal_Int32>(s.size()), RTL_TEXTENCODING_UTF8); }
std::string S(const OUString& s) { return s.toUtf8().getStr(); }

void Fail(const uno::Exception& e) {
    throw Error(ErrorCode::ApplicationDefined, "LibreOffice: " + S(e.Message));
}

namespace {

constexpr double kMm100PerPoint = 2540.0 / 72.0;

sal_Int32 Mm100(double points) { return static_cast<sal_Int32>(std::lround(points * kMm100PerPoint)); }
double Points(sal_Int32 mm100) { return std::round(mm100 / kMm100PerPoint * 100) / 100; }

}  // namespace

// ------------------------------------------------------------------ page setup

Reference<beans::XPropertySet> PageStyleOf(const CalcWorkbook& book, const Reference<sheet::XSpreadsheet>& sheet,
                                           bool own) {
    Reference<beans::XPropertySet> sp(sheet, UNO_QUERY_THROW);
    OUString name;
    sp->getPropertyValue("PageStyle") >>= name;
    Reference<container::XNameAccess> families =
        Reference<style::XStyleFamiliesSupplier>(book.Model(), UNO_QUERY_THROW)->getStyleFamilies();
    Reference<container::XNameContainer> pages(families->getByName("PageStyles"), UNO_QUERY_THROW);
    // Calc keeps the page setup in page styles that sheets share: a sheet whose
    // setup changes gets a style of its own, named after it.
    const OUString ownName = "ormelin " + Reference<container::XNamed>(sheet, UNO_QUERY_THROW)->getName();
    if (own && name != ownName) {
        Reference<beans::XPropertySet> from(pages->getByName(name), UNO_QUERY_THROW);
        if (!pages->hasByName(ownName)) {
            Reference<lang::XMultiServiceFactory> factory(book.Model(), UNO_QUERY_THROW);
            Reference<beans::XPropertySet> made(factory->createInstance("com.sun.star.style.PageStyle"), UNO_QUERY_THROW);
            pages->insertByName(ownName, Any(made));
            for (const char* p : {"Width", "Height", "IsLandscape", "LeftMargin", "RightMargin", "TopMargin",
                                  "BottomMargin", "HeaderIsOn", "FooterIsOn", "PageScale", "CenterHorizontally",
                                  "CenterVertically", "PrintGrid", "PrintHeaders"})
                made->setPropertyValue(OUString::createFromAscii(p), from->getPropertyValue(OUString::createFromAscii(p)));
        }
        sp->setPropertyValue("PageStyle", Any(ownName));
        name = ownName;
    }
    return Reference<beans::XPropertySet>(pages->getByName(name), UNO_QUERY_THROW);
}

host::PageSetup CalcWorksheet::ReadPage() const try {
    host::PageSetup page;
    Reference<beans::XPropertySet> ps = PageStyleOf(book_, sheet_, false);
    sal_Int32 v = 0;
    bool b = false;
    sal_Int16 s = 0;
    if (ps->getPropertyValue("LeftMargin") >>= v) page.leftMargin = Points(v);
    if (ps->getPropertyValue("RightMargin") >>= v) page.rightMargin = Points(v);
    if (ps->getPropertyValue("TopMargin") >>= v) page.topMargin = Points(v);
    if (ps->getPropertyValue("BottomMargin") >>= v) page.bottomMargin = Points(v);
    if (ps->getPropertyValue("CenterHorizontally") >>= b) page.centerHorizontally = b;
    if (ps->getPropertyValue("CenterVertically") >>= b) page.centerVertically = b;
    if (ps->getPropertyValue("IsLandscape") >>= b)
        page.orientation = b ? host::PageOrientation::Landscape : host::PageOrientation::Portrait;
    sal_Int32 w = 0, h = 0;
    ps->getPropertyValue("Width") >>= w;
    ps->getPropertyValue("Height") >>= h;
    page.paperSize = std::max(w, h) > 35000 ? 8 : 9;
    if (ps->getPropertyValue("PageScale") >>= s) page.zoom = s;
    if (ps->getPropertyValue("PrintGrid") >>= b) page.printGridlines = b;
    if (ps->getPropertyValue("PrintHeaders") >>= b) page.printHeadings = b;
    std::vector<host::Area> areas;
    for (const table::CellRangeAddress& r : Reference<sheet::XPrintAreas>(sheet_, UNO_QUERY_THROW)->getPrintAreas()) {
        host::Area a{r.StartRow + 1, r.StartColumn + 1, r.EndRow + 1, r.EndColumn + 1};
        if (a.c2 >= LastColumn()) a.c2 = host::kMaxColumns;
        areas.push_back(a);
    }
    page.printArea = host::PrintArea(areas);
    return page;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void DropPrintAreaName(const Reference<sheet::XSpreadsheet>& sheet) {
    static const OUString kName("_xlnm.Print_Area");
    Reference<beans::XPropertySet> props(sheet, UNO_QUERY_THROW);
    Reference<sheet::XNamedRanges> names(props->getPropertyValue("NamedRanges"), UNO_QUERY);
    if (names.is() && names->hasByName(kName)) names->removeByName(kName);
}

void CalcWorksheet::WritePage(const host::PageSetup& page) try {
    Reference<beans::XPropertySet> ps = PageStyleOf(book_, sheet_, true);
    const bool landscape = page.orientation == host::PageOrientation::Landscape;
    sal_Int32 w = page.paperSize == 8 ? 29700 : 21000, h = page.paperSize == 8 ? 42000 : 29700;
    if (landscape) std::swap(w, h);
    // No header or footer: Calc would add their heights to the margins.
    ps->setPropertyValue("HeaderIsOn", Any(false));
    ps->setPropertyValue("FooterIsOn", Any(false));
    ps->setPropertyValue("IsLandscape", Any(landscape));
    ps->setPropertyValue("Width", Any(w));
    ps->setPropertyValue("Height", Any(h));
    ps->setPropertyValue("LeftMargin", Any(Mm100(page.leftMargin)));
    ps->setPropertyValue("RightMargin", Any(Mm100(page.rightMargin)));
    ps->setPropertyValue("TopMargin", Any(Mm100(page.topMargin)));
    ps->setPropertyValue("BottomMargin", Any(Mm100(page.bottomMargin)));
    ps->setPropertyValue("CenterHorizontally", Any(page.centerHorizontally));
    ps->setPropertyValue("CenterVertically", Any(page.centerVertically));
    ps->setPropertyValue("PageScale", Any(static_cast<sal_Int16>(page.zoom)));
    ps->setPropertyValue("PrintGrid", Any(page.printGridlines));
    ps->setPropertyValue("PrintHeaders", Any(page.printHeadings));
    Sequence<table::CellRangeAddress> areas(static_cast<sal_Int32>(page.printArea.Areas().size()));
    const sal_Int16 index = static_cast<sal_Int16>(Index() - 1);
    for (std::size_t i = 0; i < page.printArea.Areas().size(); ++i) {
        const host::Area& a = page.printArea.Areas()[i];
        table::CellRangeAddress r;
        r.Sheet = index;
        r.StartRow = a.r1 - 1;
        r.EndRow = a.r2 - 1;
        r.StartColumn = a.c1 - 1;
        r.EndColumn = std::min(a.c2, LastColumn()) - 1;
        areas.getArray()[i] = r;
    }
    Reference<sheet::XPrintAreas>(sheet_, UNO_QUERY_THROW)->setPrintAreas(areas);
    DropPrintAreaName(sheet_);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

host::PageSetup& CalcWorksheet::Page() try {
    Check();
    if (!page_) page_ = ReadPage();
    pageOut_ = true;
    return *page_;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

const host::PageSetup& CalcWorksheet::Page() const try {
    Check();
    if (!pageOut_) page_ = ReadPage();
    return *page_;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

// ------------------------------------------------------------------ view

host::SheetView CalcWorksheet::ReadView() const try {
    // Calc shows one sheet's view at a time: other sheets keep what was set here.
    host::SheetView v;
    Reference<sheet::XSpreadsheetView> view(book_.Model()->getCurrentController(), UNO_QUERY);
    if (!view.is() || view->getActiveSheet() != sheet_) return v;
    Reference<beans::XPropertySet> p(view, UNO_QUERY_THROW);
    bool b = true;
    sal_Int16 zoom = 100;
    if (p->getPropertyValue("ShowZeroValues") >>= b) v.displayZeros = b;
    if (p->getPropertyValue("ShowGrid") >>= b) v.displayGridlines = b;
    if (p->getPropertyValue("ZoomValue") >>= zoom) v.zoom = zoom;
    Reference<sheet::XViewFreezable> freeze(view, UNO_QUERY);
    if (freeze.is() && freeze->hasFrozenPanes()) v.frozen = true;
    Reference<sheet::XViewPane> pane(view, UNO_QUERY);
    if (pane.is()) v.scrollRow = pane->getFirstVisibleRow() + 1;
    return v;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::WriteView(const host::SheetView& v) try {
    Reference<sheet::XSpreadsheetView> view(book_.Model()->getCurrentController(), UNO_QUERY);
    if (!view.is()) return;
    Reference<sheet::XSpreadsheet> was = view->getActiveSheet();
    view->setActiveSheet(sheet_);
    Reference<beans::XPropertySet> p(view, UNO_QUERY_THROW);
    p->setPropertyValue("ShowZeroValues", Any(v.displayZeros));
    p->setPropertyValue("ShowGrid", Any(v.displayGridlines));
    p->setPropertyValue("ZoomValue", Any(static_cast<sal_Int16>(v.zoom)));
    Reference<sheet::XViewFreezable> freeze(view, UNO_QUERY);
    if (freeze.is()) {
        if (v.frozen) freeze->freezeAtPosition(v.frozenColumns, v.frozenRows);
        else if (freeze->hasFrozenPanes()) freeze->freezeAtPosition(0, 0);
    }
    if (was.is() && was != sheet_) view->setActiveSheet(was);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

host::SheetView& CalcWorksheet::View() try {
    Check();
    if (!view_) view_ = ReadView();
    viewOut_ = true;
    return *view_;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

const host::SheetView& CalcWorksheet::View() const try {
    Check();
    if (!view_) view_ = ReadView();
    return *view_;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::Flush() try {
    if (deleted_) return;
    if (pageOut_ && page_ && *page_ != ReadPage()) WritePage(*page_);
    if (viewOut_ && view_) WriteView(*view_);
    pageOut_ = viewOut_ = false;
    page_.reset();
} catch (const css::uno::Exception& e) {
    Fail(e);
}

// ------------------------------------------------------------------ workbook

CalcWorkbook::CalcWorkbook(CalcApplication& app, Reference<frame::XModel> model) : app_(app), model_(std::move(model)) {}

Reference<sheet::XSpreadsheetDocument> CalcWorkbook::Document() const try {
    return Reference<sheet::XSpreadsheetDocument>(model_, UNO_QUERY_THROW);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

std::string CalcWorkbook::FullName() const try {
    const OUString url = model_->getURL();
    if (url.isEmpty()) return Name();
    OUString path;
    osl::FileBase::getSystemPathFromFileURL(url, path);
    return S(path);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

std::string CalcWorkbook::Name() const try {
    const OUString url = model_->getURL();
    if (url.isEmpty()) return "Книга1";
    const std::string full = FullName();
    const auto slash = full.rfind('/');
    return slash == std::string::npos ? full : full.substr(slash + 1);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

bool CalcWorkbook::HasPath() const { return !model_->getURL().isEmpty(); }
host::Application& CalcWorkbook::Parent() const { return app_; }

int CalcWorkbook::Count() const try {
    return Reference<container::XIndexAccess>(Document()->getSheets(), UNO_QUERY_THROW)->getCount();
} catch (const css::uno::Exception& e) {
    Fail(e);
}

std::vector<sal_Int32> CalcWorkbook::SheetsReached() const {
    std::vector<sal_Int32> out;
    for (const auto& s : sheets_)
        if (!s->IsDeleted()) out.push_back(s->Index() - 1);
    return out;
}

std::shared_ptr<CalcWorksheet> CalcWorkbook::Wrap(const Reference<sheet::XSpreadsheet>& sheet) const try {
    for (const auto& s : sheets_)
        if (s->sheet_ == sheet) return s;
    auto made = std::make_shared<CalcWorksheet>(const_cast<CalcWorkbook&>(*this), sheet);
    sheets_.push_back(made);
    return made;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorkbook::Forget(const CalcWorksheet* sheet) const try {
    std::erase_if(sheets_, [&](const auto& s) { return s.get() == sheet; });
} catch (const css::uno::Exception& e) {
    Fail(e);
}

std::shared_ptr<host::Worksheet> CalcWorkbook::Sheet(int index) const try {
    if (index < 1 || index > Count())
        throw Error(ErrorCode::SubscriptOutOfRange, "The workbook has no sheet " + std::to_string(index));
    return Wrap(Reference<sheet::XSpreadsheet>(
        Reference<container::XIndexAccess>(Document()->getSheets(), UNO_QUERY_THROW)->getByIndex(index - 1),
        UNO_QUERY_THROW));
} catch (const css::uno::Exception& e) {
    Fail(e);
}

std::shared_ptr<host::Worksheet> CalcWorkbook::Sheet(const std::string& name) const try {
    auto s = FindSheet(name);
    if (!s) throw Error(ErrorCode::SubscriptOutOfRange, "The workbook has no sheet \"" + name + "\"");
    return s;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

std::shared_ptr<host::Worksheet> CalcWorkbook::FindSheet(const std::string& name) const try {
    // Sheet names compare without regard to case, as in the files.
    const OUString wanted = U(name);
    Reference<container::XIndexAccess> sheets(Document()->getSheets(), UNO_QUERY_THROW);
    for (sal_Int32 i = 0; i < sheets->getCount(); ++i) {
        Reference<sheet::XSpreadsheet> s(sheets->getByIndex(i), UNO_QUERY_THROW);
        if (Reference<container::XNamed>(s, UNO_QUERY_THROW)->getName().equalsIgnoreAsciiCase(wanted) ||
            Reference<container::XNamed>(s, UNO_QUERY_THROW)->getName().toAsciiLowerCase() == wanted.toAsciiLowerCase())
            return Wrap(s);
    }
    return nullptr;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

std::shared_ptr<host::Worksheet> CalcWorkbook::Add(const host::Worksheet* before, const host::Worksheet* after) try {
    const int at = before ? before->Index() - 1 : after ? after->Index() : Count();
    std::string name;
    for (int i = Count() + 1;; ++i) {
        name = "Лист" + std::to_string(i);
        if (!FindSheet(name)) break;
    }
    Document()->getSheets()->insertNewByName(U(name), static_cast<sal_Int16>(at));
    auto added = std::static_pointer_cast<CalcWorksheet>(Sheet(at + 1));
    // A new sheet has the page setup a new worksheet has (Calc's default page
    // style has other margins).
    added->WritePage(host::PageSetup{});
    // and the standard column width of a new worksheet (Calc's default is wider)
    added->ColumnWidth(1, host::kMaxColumns, added->StandardWidth());
    return added;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

std::shared_ptr<host::Worksheet> CalcWorkbook::ActiveSheet() const try {
    Reference<sheet::XSpreadsheetView> view(model_->getCurrentController(), UNO_QUERY);
    if (view.is()) return Wrap(view->getActiveSheet());
    return Sheet(1);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorkbook::Save() try {
    Flush();
    Reference<frame::XStorable>(model_, UNO_QUERY_THROW)->store();
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorkbook::SaveAs(const std::string& path) try {
    Flush();
    OUString url;
    osl::FileBase::getFileURLFromSystemPath(U(path), url);
    beans::PropertyValue filter;
    filter.Name = "FilterName";
    const bool ods = path.size() > 4 && path.substr(path.size() - 4) == ".ods";
    filter.Value <<= OUString::createFromAscii(ods ? "calc8" : "Calc MS Excel 2007 XML");
    Reference<frame::XStorable>(model_, UNO_QUERY_THROW)->storeAsURL(url, Sequence<beans::PropertyValue>(&filter, 1));
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorkbook::Flush() try {
    const Timed timed(Member::Flush);
    for (const auto& s : std::vector<std::shared_ptr<CalcWorksheet>>(sheets_)) s->Flush();
} catch (const css::uno::Exception& e) {
    Fail(e);
}

std::string CalcWorkbook::NumberFormatText(sal_Int32 key) const try {
    if (auto it = formatTexts_.find(key); it != formatTexts_.end()) return it->second;
    Reference<util::XNumberFormats> formats =
        Reference<util::XNumberFormatsSupplier>(model_, UNO_QUERY_THROW)->getNumberFormats();
    OUString text;
    lang::Locale locale;
    Reference<beans::XPropertySet> format = formats->getByKey(key);
    format->getPropertyValue("FormatString") >>= text;
    format->getPropertyValue("Locale") >>= locale;
    std::string s = S(text);
    // Calc gives the format in its language, General under that language's word
    // ("Standard" for the system's): the host's formats say "General".
    OUString standard;
    formats
        ->getByKey(Reference<util::XNumberFormatTypes>(formats, UNO_QUERY_THROW)
                       ->getStandardFormat(util::NumberFormat::NUMBER, locale))
        ->getPropertyValue("FormatString") >>= standard;
    const std::string word = S(standard);
    if (!word.empty() && word != "General")
        for (std::size_t at = s.find(word); at != std::string::npos; at = s.find(word, at + 7))
            s.replace(at, word.size(), "General");
    if (s.empty()) s = "General";
    formatTexts_[key] = s;
    return s;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

sal_Int32 CalcWorkbook::NumberFormatKey(const std::string& text) const try {
    if (auto it = formatKeys_.find(text); it != formatKeys_.end()) return it->second;
    Reference<util::XNumberFormats> formats =
        Reference<util::XNumberFormatsSupplier>(model_, UNO_QUERY_THROW)->getNumberFormats();
    // "General" is the document's standard format; the others are read in English.
    sal_Int32 key = 0;
    if (text == "@") {
        key = Reference<util::XNumberFormatTypes>(formats, UNO_QUERY_THROW)
                  ->getStandardFormat(util::NumberFormat::TEXT, lang::Locale());
    } else if (text != "General") {
        // Made as Calc makes the formats of a file it reads: given in English,
        // converted to the document's language (which finds a format the document
        // has already). A format made in English is written to files with its
        // language and its "General" turned into the text "standard".
        lang::Locale english;
        english.Language = "en";
        english.Country = "US";
        key = formats->addNewConverted(U(text), english, lang::Locale());
        formatTexts_.emplace(key, text);  // read back as it was given
    }
    formatKeys_[text] = key;
    return key;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

// ------------------------------------------------------------------ window

host::SheetView& CalcWindow::Active() const {
    return app_.Book().ActiveSheet()->View();
}
host::ViewMode CalcWindow::View() const { return Active().view; }
void CalcWindow::View(host::ViewMode mode) { Active().view = mode; }
bool CalcWindow::FreezePanes() const { return Active().frozen; }
void CalcWindow::FreezePanes(bool on) {
    host::SheetView& v = Active();
    v.frozen = on;
    if (on) {
        v.frozenRows = std::max(0, v.selection.r1 - 1);
        v.frozenColumns = std::max(0, v.selection.c1 - 1);
    } else {
        v.frozenRows = v.frozenColumns = 0;
    }
}
int CalcWindow::SplitRow() const { return Active().frozenRows; }
int CalcWindow::SplitColumn() const { return Active().frozenColumns; }
bool CalcWindow::DisplayZeros() const { return Active().displayZeros; }
void CalcWindow::DisplayZeros(bool on) { Active().displayZeros = on; }
bool CalcWindow::DisplayGridlines() const { return Active().displayGridlines; }
void CalcWindow::DisplayGridlines(bool on) { Active().displayGridlines = on; }
int CalcWindow::Zoom() const { return Active().zoom; }
void CalcWindow::Zoom(int percent) { Active().zoom = percent; }
int CalcWindow::ScrollRow() const { return Active().scrollRow; }
void CalcWindow::ScrollRow(int row) { Active().scrollRow = row; }

// ------------------------------------------------------------------ application

CalcApplication::CalcApplication(Reference<uno::XComponentContext> context, Reference<frame::XModel> model,
                                 std::shared_ptr<host::Ui> ui)
    : context_(std::move(context)), ui_(std::move(ui)),
      book_(std::make_shared<CalcWorkbook>(*this, std::move(model))), window_(*this) {}

CalcApplication::~CalcApplication() {
    try {
        WriteTimes();
    } catch (...) {
    }
}

host::Range CalcApplication::Selection() {
    auto sheet = book_->ActiveSheet();
    return host::Range(sheet, sheet->View().selection);
}

}  // namespace ormelin::calc
