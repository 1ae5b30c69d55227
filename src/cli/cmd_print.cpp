// `ormelin pdf` and `ormelin demo`: formed sheets printed to PDF files.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "cli/commands.hpp"
#include "cli/i18n.hpp"
#include "cli/print.hpp"

namespace fs = std::filesystem;

namespace ormelin::cli {

namespace {

/// The PDF goes to a new file or replaces an earlier PDF; never the workbook or
/// another file.
void CheckPdfDestination(const Options& opt) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(opt.pdf, ec))) return;
    if (fs::equivalent(opt.pdf, opt.book, ec)) {
        throw Failure{kUsage, Say("{1} is the workbook itself; name a new .pdf file", {opt.pdf})};
    }
    std::ifstream in(opt.pdf, std::ios::binary);
    char head[5] = {};
    if (!fs::is_regular_file(opt.pdf, ec) || !in.read(head, 5) || std::string(head, 5) != "%PDF-") {
        throw Failure{kUsage, Say("{1} exists and is not a PDF file; it is left as it is", {opt.pdf})};
    }
}

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
    DeclareBookAndSheet(sub, opt);
    sub.add_option("OUT", opt.pdf, Tr("the PDF file to write: a new file or an earlier PDF"))->required();
    DeclareWait(sub, opt);
    sub.footer(Tr(
        "A formed sheet must have been formed with --print. When the forms' font ISOCPEUR is not installed,\n"
        "the free drafting font osifont stands in for it (a private font configuration; nothing of the\n"
        "system's is changed)."));
}

void DeclareDemo(CLI::App& sub, Options& opt) {
    sub.add_option("DIR", opt.dir, Tr("folder for ormelin-demo.xlsx and the PDF files; created when missing"))
        ->required();
}

int RunPdf(const Options& opt, std::ostream&, std::ostream& err) {
    CheckPdfDestination(opt);
    auto office = FindOffice();
    if (!office) throw Failure{kFailed, Say("printing to PDF needs LibreOffice (soffice), which is not installed")};
    PrintSheetToPdf(*office, opt, opt.sheet, opt.pdf, err);
    return kOk;
}

int RunDemo(const Options& opt, std::ostream& out, std::ostream& err) {
    std::string path = WriteDemo(opt.dir, err);
    out << path << '\n';
    auto office = FindOffice();
    if (!office) {
        err << "ormelin: " << Say("LibreOffice is not installed: the documents are not printed to PDF") << '\n';
        return kOk;
    }
    // Every formed document of the sample is printed beside the workbook.
    Options book = opt;
    book.book = path;
    std::vector<std::string> formed;
    {
        Session s(book, err);
        s.Open(false, false);
        for (int i = 1; i <= s.Book().Count(); ++i) {
            auto ws = s.Book().Sheet(i);
            if (s.Service().DocumIsForm(ws) == 1) formed.push_back(ws->Name());
        }
    }
    for (const auto& name : formed) {
        book.pdf = (fs::path(opt.dir) / (name + ".pdf")).string();
        CheckPdfDestination(book);
        PrintSheetToPdf(*office, book, name, book.pdf, err);
        out << book.pdf << '\n';
    }
    return kOk;
}

}  // namespace ormelin::cli
