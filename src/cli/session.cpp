// One run of the command: opening the workbook under its lock, the checks before
// it is written, and writing it.
#include "cli/session.hpp"

#include <filesystem>
#include <iostream>

#include "cli/i18n.hpp"

namespace fs = std::filesystem;

namespace ormelin::cli {

namespace {
bool leaveWorkbooks = false;
}  // namespace

void LeaveWorkbooksToExit() { leaveWorkbooks = true; }

std::string StateName(std::int32_t code) { return IsStateValue(code) ? StateEntryOf(code).member : "?"; }

std::string KindWords(const char* separator) {
    std::string words;
    for (const auto& k : kinds::kKinds)
        if (k.word) words += (words.empty() ? "" : separator) + std::string(k.word);
    return words;
}

ksStateOfDocument KindCode(const std::string& word) {
    for (const auto& k : kinds::kKinds) {
        if (k.word && word == k.word) return k.blank;
    }
    throw Failure{kUsage, Say("unknown kind \"{1}\" (use {2})", {word, KindWords(", ")})};
}


Session::Session(const Options& opt, std::ostream& err)
    : opt_(opt), err_(err), ui_(std::make_shared<ConsoleUi>(err, opt.yes)),
      app_(std::make_shared<model::ModelApplication>(ui_)) {
    // The service saves the workbook now and then (a new workbook's first save,
    // the register's error handling); the command writes it once, at its end,
    // and only when the whole operation succeeded.
    app_->SetSaver([](const model::ModelWorkbook&, const std::string&) {});
}

Session::~Session() {
    if (!leaveWorkbooks) return;
    // Held from a static pointer to the process's end: nothing is freed, and a
    // leak checker sees it all still reachable. The book's lock is released as usual.
    static auto* left = new std::vector<std::shared_ptr<const void>>;
    try {
        left->reserve(left->size() + 3);
    } catch (const std::bad_alloc&) {
        return;  // taken apart as usual
    }
    left->push_back(std::move(book_));
    left->push_back(std::shared_ptr<Kalvora>(std::move(service_)));
    left->push_back(std::move(app_));
}

void Session::Open(bool mayCreate, bool forWriting) {
    lock_.emplace(opt_.book, forWriting, opt_.wait);
    if (forWriting) xlsx::RemoveLeftoverSaves(opt_.book);  // of saves killed before they ended
    stamp_ = StampOf(opt_.book);
    if (!stamp_) {
        if (fs::exists(fs::symlink_status(opt_.book)) || !mayCreate) {
            throw Failure{kBadWorkbook, Say("{1}: no such file", {opt_.book})};
        }
        book_ = app_->NewWorkbook();
        created_ = true;
        return;
    }
    try {
        book_ = xlsx::LoadWorkbook(*app_, opt_.book, &report_);
    } catch (const Error& e) {
        // The file layer names the damaged part, or the file itself.
        const std::string& what = e.description();
        const bool namesFile = what.rfind(opt_.book, 0) == 0;
        throw Failure{kBadWorkbook, namesFile ? what : opt_.book + ": " + what};
    }
    if (StampOf(opt_.book) != stamp_) throw Changed();
}

std::shared_ptr<host::Worksheet> Session::Sheet(const std::string& name) {
    auto ws = book_->FindSheet(name);
    if (!ws) throw Failure{kFailed, Say("{1}: no sheet named \"{2}\"", {opt_.book, name})};
    ws->Activate();
    return ws;
}

std::shared_ptr<host::Worksheet> Session::DocumentSheet(const std::string& name) {
    auto ws = Sheet(name);
    if (ws->Name() == kRegisterSheet) {
        throw Failure{kFailed, Say("\"{1}\" is the register sheet, not a document", {kRegisterSheet})};
    }
    return ws;
}

bool Session::InPlace() const {
    if (opt_.output.empty()) return true;
    std::error_code ec;
    return fs::weakly_canonical(opt_.output, ec) == fs::weakly_canonical(opt_.book, ec);
}

void Session::CheckWritable() const {
    if (opt_.force) return;
    if (auto owner = OpenedBy(Destination()); owner && fs::exists(Destination())) {
        throw Failure{kFailed, Say("{1} is open in a spreadsheet program ({2}); close it there first, or pass --force",
                                   {Destination(), *owner})};
    }
    if (report_.empty() || !InPlace()) return;
    std::string parts;
    for (const auto& item : report_.items) parts += (parts.empty() ? "" : ", ") + item.what + " in " + item.part;
    throw Failure{kFailed, Say("{1} holds parts that would be lost if it were written back ({2}); "
                               "write elsewhere with -o FILE or pass --force",
                               {opt_.book, parts})};
}

void Session::CheckNoErrors() {
    if (!Service().Typed().Reports().empty()) {
        throw Failure{kFailed, Say("the operation reported an error (above); nothing was written")};
    }
}

void Session::Write() {
    CheckNoErrors();
    if (InPlace() || fs::equivalent(Destination(), opt_.book, ignored_)) {
        if (created_ ? fs::exists(fs::symlink_status(opt_.book)) : StampOf(opt_.book) != stamp_) throw Changed();
    }
    xlsx::SaveReport saved;
    try {
        saved = xlsx::SaveWorkbook(*book_, Destination());
    } catch (const Error& e) {
        throw Failure{kFailed, Destination() + ": " + e.description()};
    }
    // The file keeps a limited number of manual page breaks per sheet.
    for (const auto& b : saved.breaks)
        err_ << "ormelin: " << Destination() << ": sheet \"" << b.sheet << "\" has " << b.given
             << " manual page breaks, the file keeps " << b.kept << "; from printed sheet " << b.kept + 1
             << " on the printout falls back to automatic page breaks\n";
}

Failure Session::Changed() const {
    return Failure{kFailed, Say("{1} changed on disk while the command ran; nothing was written: run it again",
                                {opt_.book})};
}

}  // namespace ormelin::cli
