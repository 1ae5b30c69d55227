#include "cli/print.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>
#include <vector>

#include "cli/failure.hpp"
#include "cli/i18n.hpp"
#include "measure/text_measure.hpp"
#include "ormelin/xlsx.hpp"
#include "xlsx/save_file.hpp"

extern char** environ;

namespace fs = std::filesystem;

namespace ormelin::cli {
namespace {

/// The drafting font the forms name, and the free font that stands in for it when
/// the drafting font made from it (measure::FormFontFile) is neither built nor installed.
constexpr const char* kFormFont = "ISOCPEUR";
constexpr const char* kStandInFont = "osifont";

/// LibreOffice gets five minutes: a conversion that hangs must not hang the command.
constexpr auto kOfficeTimeLimit = std::chrono::minutes(5);

// ------------------------------------------------------------ interruption

volatile std::sig_atomic_t gSignal = 0;

extern "C" void OnSignal(int sig) { gSignal = sig; }

/// While printing, an interrupt or a termination is noted and handled by the
/// waiting loop, so that LibreOffice is stopped and the working folder removed.
class SignalGuard {
public:
    SignalGuard() {
        gSignal = 0;
        struct sigaction sa {};
        sa.sa_handler = OnSignal;
        sigemptyset(&sa.sa_mask);
        for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &sa, &old_[i]);
    }
    ~SignalGuard() {
        for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &old_[i], nullptr);
    }
    SignalGuard(const SignalGuard&) = delete;
    SignalGuard& operator=(const SignalGuard&) = delete;

    static void ThrowIfSignalled() {
        if (gSignal != 0) throw Failure{128 + gSignal, Say("interrupted: nothing was printed")};
    }

private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction old_[3] {};
};

/// A private working folder, removed on every way out.
class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "ormelin-pdf-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            throw Failure{1, Say("cannot make a working folder for printing: {1}", {std::strerror(errno)})};
        }
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

/// A file URL for a local path.
std::string FileUrl(const fs::path& p) {
    static const char* hex = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char ch : p.string()) {
        if (std::isalnum(ch) || std::strchr("/._-~", ch)) {
            url += static_cast<char>(ch);
        } else {
            url += '%';
            url += hex[ch >> 4];
            url += hex[ch & 15];
        }
    }
    return url;
}

struct RunResult {
    bool exited = false;
    int status = -1;
    std::string output;  // standard output and error together
};

/// Runs a program without a shell, its output captured, within a time limit.
/// Extra environment entries replace those of the same name.
RunResult Run(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv,
              const fs::path& logFile, std::chrono::steady_clock::duration limit) {
    std::vector<std::string> envText;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        const std::string key = entry.substr(0, entry.find('=') + 1);
        const bool replaced = std::any_of(extraEnv.begin(), extraEnv.end(),
                                          [&](const std::string& x) { return x.rfind(key, 0) == 0; });
        if (!replaced) envText.push_back(std::move(entry));
    }
    envText.insert(envText.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> envp, args;
    for (auto& e : envText) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> argText = argv;
    for (auto& a : argText) args.push_back(a.data());
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    // Its own process group, so that stopping it stops the programs it starts.
    posix_spawnattr_setpgroup(&attr, 0);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaddset(&defaults, sig);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);

    RunResult r;
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, args[0], &actions, &attr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) {
        r.output = argv[0] + ": " + std::strerror(rc);
        return r;
    }
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (done < 0 && errno != EINTR) break;
        if (gSignal != 0 || std::chrono::steady_clock::now() >= deadline) {
            kill(-pid, SIGKILL);
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            // The programs it started die with it before their files are removed.
            for (int i = 0; i < 100 && kill(-pid, 0) == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
            SignalGuard::ThrowIfSignalled();
            r.output = ReadAll(logFile);
            r.output += Say("(stopped after {1} minutes)",
                            {std::to_string(std::chrono::duration_cast<std::chrono::minutes>(limit).count())});
            return r;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    r.exited = WIFEXITED(status);
    r.status = r.exited ? WEXITSTATUS(status) : -1;
    r.output = ReadAll(logFile);
    return r;
}

bool Contains(std::string text, std::string word) {
    auto lower = [](std::string& s) {
        for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    };
    lower(text);
    lower(word);
    return text.find(word) != std::string::npos;
}

/// The environment that maps the forms' font to the free stand-in when the font
/// itself is not installed: a private font configuration that includes the
/// user's own and only adds the substitution; fontconfig still falls back glyph
/// by glyph. Says once per run what is printed with which font.
std::vector<std::string> FontEnvironment(const fs::path& dir, std::ostream& err) {
    static bool said = false;
    const char* fcMatch = "/usr/bin/fc-match";
    if (access(fcMatch, X_OK) != 0) return {};
    const fs::path log = dir / "fc.txt";
    RunResult form = Run({fcMatch, "-f", "%{family}", kFormFont}, {}, log, std::chrono::seconds(30));
    if (form.exited && form.status == 0 && Contains(form.output, kFormFont)) return {};
    // The font the import measures with, given to fontconfig by its folder.
    const std::optional<std::string> file = measure::FormFontFile();
    const std::string family = file ? measure::FontFamily(*file) : std::string();
    const char* standInFont = family.empty() ? kStandInFont : family.c_str();
    bool haveStandIn = !family.empty();
    if (!haveStandIn) {
        RunResult standIn = Run({fcMatch, "-f", "%{family}", kStandInFont}, {}, log, std::chrono::seconds(30));
        haveStandIn = standIn.exited && standIn.status == 0 && Contains(standIn.output, kStandInFont);
    }
    if (!said) {
        said = true;
        err << "ormelin: "
            << (haveStandIn ? Say("the forms' font {1} is not installed: printing with {2} instead",
                                  {kFormFont, standInFont})
                            : Say("the forms' font {1} is not installed, nor {2} (scripts/setup installs it): "
                                  "LibreOffice prints with a font of its own choice",
                                  {kFormFont, kStandInFont}))
            << '\n';
    }
    if (!haveStandIn) return {};
    const char* own = std::getenv("FONTCONFIG_FILE");
    const std::string base = (own && *own) ? own : "/etc/fonts/fonts.conf";
    const fs::path conf = dir / "fonts.conf";
    std::ofstream(conf) << "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
                           "<fontconfig>\n  <include ignore_missing=\"yes\">"
                        << base << "</include>\n"
                        << (family.empty() ? "" : "  <dir>" + fs::path(*file).parent_path().string() + "</dir>\n")
                        << "  <match target=\"pattern\">\n    <test qual=\"any\" name=\"family\"><string>"
                        << kFormFont
                        << "</string></test>\n    <edit name=\"family\" mode=\"prepend\" binding=\"strong\"><string>"
                        << standInFont << "</string></edit>\n  </match>\n</fontconfig>\n";
    return {"FONTCONFIG_FILE=" + conf.string()};
}

bool IsPdf(const fs::path& p) { return ReadAll(p).rfind("%PDF-", 0) == 0; }

/// Copies a file to its destination as a workbook is saved: whole or not at
/// all, on disk, with the mode of the file it replaces (else the user's umask).
void PlaceAtomically(const fs::path& from, const std::string& to) {
    xlsx::detail::SaveFile file(to);
    const std::string bytes = ReadAll(from);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(file.Descriptor(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw Failure{1, to + ": " + std::strerror(n < 0 ? errno : ENOSPC)};
        done += static_cast<std::size_t>(n);
    }
    file.Commit();
}

/// The last part of a program's output, enough to say what went wrong.
std::string Tail(const std::string& output) {
    constexpr std::size_t kKeep = 2000;
    std::string t = output.size() > kKeep ? "..." + output.substr(output.size() - kKeep) : output;
    while (!t.empty() && (t.back() == '\n' || t.back() == ' ')) t.pop_back();
    return t;
}

}  // namespace

std::optional<std::string> FindOffice() {
    for (const char* p : {"/usr/bin/soffice", "/usr/bin/libreoffice", "/usr/lib/libreoffice/program/soffice"}) {
        if (access(p, X_OK) == 0) return std::string(p);
    }
    return std::nullopt;
}

void MakePrintedCopy(model::ModelWorkbook& book, const std::string& sheet) {
    auto ws = book.Sheet(sheet);
    host::Area used = ws->UsedRange();
    for (int r = used.r1; r <= used.r2; ++r) {
        for (int c = used.c1; c <= used.c2; ++c) {
            auto content = ws->Content(r, c);
            if (content.formula.empty()) continue;
            // A result the sheet does not show (a zero where zeros are hidden, as
            // in a title block whose register cell is empty) is printed as nothing.
            const bool hidden = ws->CellText(r, c).empty();
            ws->SetLiteral(host::Area{r, c, r, c}, hidden ? host::Value{} : content.value);
        }
    }
    for (int i = book.Count(); i >= 1; --i) {
        auto other = book.Sheet(i);
        if (other.get() != ws.get()) other->Delete();
    }
}

void PrintToPdf(const std::string& office, const model::ModelWorkbook& copy, const std::string& pdfPath,
                std::ostream& err) {
    SignalGuard signals;
    TempDir tmp;
    const fs::path book = tmp.Path() / "print.xlsx";
    xlsx::SaveWorkbook(copy, book.string());
    std::vector<std::string> env = FontEnvironment(tmp.Path(), err);
    // LibreOffice's own temporary files go into the working folder too.
    env.push_back("TMPDIR=" + tmp.Path().string());
    const fs::path pdf = tmp.Path() / "print.pdf";
    RunResult run;
    // A first run on a fresh machine may fail while LibreOffice builds its profile:
    // a run that produced nothing is tried once more with a new profile.
    for (int attempt = 1; attempt <= 2; ++attempt) {
        SignalGuard::ThrowIfSignalled();
        const fs::path profile = tmp.Path() / ("profile" + std::to_string(attempt));
        run = Run({office, "--headless", "--norestore", "-env:UserInstallation=" + FileUrl(profile), "--convert-to",
                   "pdf", "--outdir", tmp.Path().string(), book.string()},
                  env, tmp.Path() / "office.txt", kOfficeTimeLimit);
        if (fs::exists(pdf)) break;
    }
    if (!(run.exited && run.status == 0) || !fs::exists(pdf) || !IsPdf(pdf)) {
        const std::string said = Tail(run.output);
        throw Failure{1, Say("LibreOffice could not print the sheet to PDF{1}", {said.empty() ? "" : ": " + said})};
    }
    PlaceAtomically(pdf, pdfPath);
}

}  // namespace ormelin::cli
