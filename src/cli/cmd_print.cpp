// `ormelin pdf` and `ormelin demo`: formed sheets printed to PDF files.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "cli/commands.hpp"
#include "cli/i18n.hpp"
#include "cli/print.hpp"
#include "cli/reports.hpp"
#include "render/render.hpp"
#include "xlsx/save_file.hpp"

namespace fs = std::filesystem;

namespace ormelin::cli {

void CheckPdfDestination(const std::string& pdf, const std::string& book) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(pdf, ec))) return;
    if (fs::equivalent(pdf, book, ec)) {
        throw Failure{kUsage, Say("{1} is the workbook itself; name a new .pdf file", {pdf})};
    }
    std::ifstream in(pdf, std::ios::binary);
    char head[5] = {};
    if (!fs::is_regular_file(pdf, ec) || !in.read(head, 5) || std::string(head, 5) != "%PDF-") {
        throw Failure{kUsage, Say("{1} exists and is not a PDF file; it is left as it is", {pdf})};
    }
}

namespace {

/// Prints one sheet of a workbook file to a PDF file through LibreOffice.
void PrintSheetToPdf(const std::string& office, const Options& opt, const std::string& sheet, const std::string& pdfPath,
                     std::ostream& err) {
    Session s(opt, err);
    s.Open(false, false);
    auto ws = s.Sheet(sheet);
    // Without its print setup a formed document prints as a run of pages cut
    // anywhere across its frames.
    if (IsFormedState(s.Service().StateOfDocument(ws)) && ws->Page().printArea.empty()) {
        throw Failure{kFailed, Say("sheet \"{1}\" was formed without --print and would not print sheet by sheet: "
                                   "roll it back and form it again with --print",
                                   {sheet})};
    }
    s.CheckNoErrors();
    MakePrintedCopy(s.Book(), sheet);
    PrintToPdf(office, s.Book(), pdfPath, err);
}

}  // namespace

void DeclarePdf(CLI::App& sub, Options& opt) {
    sub.add_option("BOOK", opt.book, Tr("workbook (.xlsx)"))->required();
    sub.add_option("SHEET", opt.sheet, Tr("the document's sheet (not with --all)"));
    sub.add_option("OUT", opt.pdf, Tr("the PDF file to write: a new file or an earlier PDF"));
    sub.add_flag("--all", opt.all,
                 Tr("print every formed document of the workbook into OUT, a bookmark per document"));
    sub.add_option("--via", opt.via, Tr("print through LibreOffice instead (\"libreoffice\"), one sheet at a time"))
        ->check(CLI::IsMember({"libreoffice"}));
    DeclareWait(sub, opt);
    sub.footer(Tr(
        "ormelin pdf BOOK SHEET OUT.pdf prints one formed document; ormelin pdf BOOK OUT.pdf --all prints\n"
        "every formed document of the workbook into one file, with its designation and name as a bookmark.\n"
        "ormelin draws the sheets itself at the standard's millimetres (frame, title blocks and tables with\n"
        "main and thin lines, texts in the drafting font, embedded): no LibreOffice and no display needed.\n"
        "A text wider than its field is condensed down to 80 %; what still does not fit is cut at the\n"
        "field's edge and named on standard error. The PDF is written whole or not at all; the workbook\n"
        "is only read. With --via libreoffice the sheet prints through LibreOffice as the workbook's own\n"
        "print setup lays it out (it must have been formed with --print)."));
}

void DeclareDemo(CLI::App& sub, Options& opt) {
    sub.add_option("DIR", opt.dir, Tr("folder for ormelin-demo.xlsx and the PDF files; created when missing"))
        ->required();
}

namespace {

/// A file beside the destination that becomes it by renaming once it is whole.
/// The kind's title in the user's language, for the PDF's subject.
std::string KindTitle(std::int32_t state) { return Tr(KindEntryOf(KindOf(state)).title); }

}  // namespace

std::vector<std::shared_ptr<host::Worksheet>> FormedDocuments(Kalvora& service, host::Workbook& book) {
    std::vector<std::shared_ptr<host::Worksheet>> sheets;
    for (int i = 1; i <= book.Count(); ++i) {
        auto ws = book.Sheet(i);
        if (service.DocumIsForm(ws) == 1) sheets.push_back(ws);
    }
    return sheets;
}

void RenderToPdf(Kalvora& service, const std::vector<std::shared_ptr<host::Worksheet>>& sheets,
                 const std::string& pdf, const std::string& book, bool bookmarks, std::ostream& err) {
    std::vector<render::Document> docs;
    std::string subject;
    for (const auto& ws : sheets) {
        auto ref = ws;
        const std::int32_t state = service.StateOfDocument(ref);
        if (!IsFormedState(state)) {
            throw Failure{kFailed, Say("sheet \"{1}\" is not a formed document: form it first (ormelin form)",
                                       {ws->Name()})};
        }
        if (!render::CanRender(state)) {
            throw Failure{kFailed, Say("sheet \"{1}\" ({2}) cannot be printed by ormelin yet: use --via libreoffice",
                                       {ws->Name(), KindTitle(state)})};
        }
        docs.push_back({ws, state});
        const std::string kind = KindTitle(state);
        if (subject.find(kind) == std::string::npos) subject += (subject.empty() ? "" : ", ") + kind;
    }
    render::PdfInfo info;
    info.subject = subject;
    info.creator = std::string("ormelin ") + ORMELIN_VERSION;
    info.title = docs.size() == 1 ? render::DocumentTitle(*docs.front().sheet, docs.front().state)
                                  : fs::path(book).stem().string();
    // Written as a workbook is saved: whole or not at all, on disk, with the
    // mode of the file it replaces (else the user's umask).
    xlsx::detail::SaveFile file(pdf);
    std::vector<render::Printed> printed;
    try {
        printed = render::PrintPdf(docs, file.Path(), info, bookmarks);
    } catch (const std::runtime_error& e) {
        throw Failure{kFailed, Say("cannot print to {1}: {2}", {pdf, e.what()})};
    }
    file.Commit();
    for (const auto& p : printed)
        for (const auto& c : p.clipped) {
            char need[32], have[32];
            std::snprintf(need, sizeof need, "%.1f", c.neededMm);
            std::snprintf(have, sizeof have, "%.1f", c.availableMm);
            err << "ormelin: "
                << Say("sheet \"{1}\", cell {2} (printed sheet {3}): \"{4}\" is {5} mm wide, its field {6} mm: "
                       "cut at the field's edge",
                       {c.sheet, c.cell, std::to_string(c.page), c.text, need, have})
                << '\n';
        }
}

int RunPdf(const Options& given, std::ostream&, std::ostream& err) {
    Options opt = given;
    if (opt.all) {
        if (!opt.pdf.empty()) throw Failure{kUsage, Say("with --all give BOOK and OUT only, no SHEET")};
        opt.pdf = opt.sheet;
        opt.sheet.clear();
    }
    if (opt.pdf.empty())
        throw Failure{kUsage, opt.all ? Say("name the PDF file to write: ormelin pdf BOOK OUT.pdf --all")
                                      : Say("name the sheet and the PDF file: ormelin pdf BOOK SHEET OUT.pdf")};
    CheckPdfDestination(opt.pdf, opt.book);
    if (opt.via == "libreoffice") {
        if (opt.all) throw Failure{kUsage, Say("--via libreoffice prints one sheet at a time; it does not take --all")};
        auto office = FindOffice();
        if (!office)
            throw Failure{kFailed, Say("printing to PDF needs LibreOffice (soffice), which is not installed")};
        PrintSheetToPdf(*office, opt, opt.sheet, opt.pdf, err);
        return kOk;
    }
    Session s(opt, err);
    s.Open(false, false);
    std::vector<std::shared_ptr<host::Worksheet>> sheets;
    if (opt.all) {
        sheets = FormedDocuments(s.Service(), s.Book());
        if (sheets.empty()) throw Failure{kFailed, Say("{1} holds no formed document to print", {opt.book})};
    } else {
        sheets.push_back(s.Sheet(opt.sheet));
    }
    s.CheckNoErrors();
    RenderToPdf(s.Service(), sheets, opt.pdf, opt.book, opt.all, err);
    return kOk;
}

int RunDemo(const Options& opt, std::ostream& out, std::ostream& err) {
    std::string path = WriteDemo(opt.dir, err);
    out << path << '\n';
    // Every formed document of the sample is printed beside the workbook.
    Options book = opt;
    book.book = path;
    Session s(book, err);
    s.Open(false, false);
    for (int i = 1; i <= s.Book().Count(); ++i) {
        auto ws = s.Book().Sheet(i);
        if (s.Service().DocumIsForm(ws) != 1) continue;
        Options one = book;
        one.pdf = (fs::path(opt.dir) / (ws->Name() + ".pdf")).string();
        CheckPdfDestination(one.pdf, one.book);
        RenderToPdf(s.Service(), {ws}, one.pdf, one.book, false, err);
        out << one.pdf << '\n';
    }
    return kOk;
}

}  // namespace ormelin::cli
