#include "cli/i18n.hpp"

#include <libintl.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace ormelin::cli {
namespace {

constexpr const char* kDomain = "ormelin";

/// The locale name the environment asks for messages in.
std::string RequestedLocale() {
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(var);
        if (v && *v) return v;
    }
    return {};
}

/// The catalogues: next to the program in a build tree (locale/), else where
/// the installation put them.
std::string CatalogueDir() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        fs::path beside = exe.parent_path() / "locale";
        if (fs::is_directory(beside, ec)) return beside.string();
    }
#ifdef ORMELIN_LOCALEDIR
    return ORMELIN_LOCALEDIR;
#else
    return "/usr/local/share/locale";
#endif
}

}  // namespace

void InitMessages() {
    if (!std::setlocale(LC_MESSAGES, "")) {
        // A Russian locale that is not generated on this machine still gets the
        // Russian messages: gettext follows LANGUAGE under a UTF-8 C locale.
        const std::string wanted = RequestedLocale();
        if (wanted.rfind("ru", 0) == 0 && std::setlocale(LC_MESSAGES, "C.UTF-8")) {
            const char* language = std::getenv("LANGUAGE");
            if (!language || !*language) setenv("LANGUAGE", "ru", 1);
        }
    }
    bindtextdomain(kDomain, CatalogueDir().c_str());
    bind_textdomain_codeset(kDomain, "UTF-8");
}

const char* Tr(const char* english) { return dgettext(kDomain, english); }

std::string Say(const char* english, std::initializer_list<std::string> args) {
    return Say(english, std::vector<std::string>(args));
}

std::string Say(const char* english, const std::vector<std::string>& args) {
    const std::string_view text = Tr(english);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '{' && i + 2 < text.size() && text[i + 2] == '}' && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(text[i + 1] - '1');
            if (n < args.size()) {
                out += args[n];
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

}  // namespace ormelin::cli
