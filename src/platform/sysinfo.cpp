#include "platform/sysinfo.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

namespace kx::platform {

namespace {
// Buffer sizes the names are read with; the names keep one byte for the NUL.
constexpr std::size_t kComputerNameBuffer = 16;
constexpr std::size_t kUserNameBuffer = 80;

struct LanguageId {
    std::string_view tag;  // "ll" or "ll_CC"
    std::uint16_t langid;
};
// Locale names to Windows language ids; a full tag is tried before its language.
constexpr LanguageId kLanguageIds[] = {
    {"en_US", 0x0409}, {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"en", 0x0409},
    {"de_DE", 0x0407}, {"de_CH", 0x0807}, {"de_AT", 0x0C07}, {"de", 0x0407},
    {"fr_FR", 0x040C}, {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C}, {"fr", 0x040C},
    {"es_ES", 0x0C0A}, {"es_MX", 0x080A}, {"es", 0x0C0A},
    {"it_IT", 0x0410}, {"it", 0x0410},
    {"nl_NL", 0x0413}, {"nl_BE", 0x0813}, {"nl", 0x0413},
    {"pt_BR", 0x0416}, {"pt_PT", 0x0816}, {"pt", 0x0816},
    {"da", 0x0406}, {"sv", 0x041D}, {"nb", 0x0414}, {"no", 0x0414}, {"nn", 0x0814}, {"fi", 0x040B},
    {"pl", 0x0415}, {"cs", 0x0405}, {"sk", 0x041B}, {"hu", 0x040E}, {"ru", 0x0419}, {"tr", 0x041F},
    {"el", 0x0408}, {"ja", 0x0411}, {"ko", 0x0412}, {"zh_TW", 0x0404}, {"zh_CN", 0x0804}, {"zh", 0x0804},
};
constexpr std::uint16_t kDefaultLangId = 0x0409;
} // namespace

std::string computer_name()
{
    char buf[256] = {};
    if (::gethostname(buf, sizeof buf - 1) != 0) return {};
    std::string name(buf);
    // A NetBIOS-style name: the host name cut to what the buffer holds.
    if (name.size() > kComputerNameBuffer - 1) name.resize(kComputerNameBuffer - 1);
    return name;
}

std::string user_name()
{
    const passwd *pw = ::getpwuid(::geteuid());
    if (!pw || !pw->pw_name) return {};
    std::string name(pw->pw_name);
    if (name.size() > kUserNameBuffer - 1) name.resize(kUserNameBuffer - 1);
    return name;
}

std::uint16_t user_language_id()
{
    const char *vars[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::string_view locale;
    for (const char *v : vars) {
        const char *s = std::getenv(v);
        if (s && *s) {
            locale = s;
            break;
        }
    }
    // "de_DE.UTF-8@euro" -> "de_DE"
    locale = locale.substr(0, locale.find_first_of(".@"));
    if (locale.empty() || locale == "C" || locale == "POSIX") return kDefaultLangId;
    for (const auto &e : kLanguageIds)
        if (e.tag == locale) return e.langid;
    std::string_view lang = locale.substr(0, locale.find('_'));
    for (const auto &e : kLanguageIds)
        if (e.tag == lang) return e.langid;
    return kDefaultLangId;
}

VersionRecord os_version() { return VersionRecord{6, 2, 9200, 2}; }

} // namespace kx::platform
