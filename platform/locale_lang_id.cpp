#include <algorithm>
#include <array>
#include <cctype>
#include <string>

#include "platform/user_language.h"

namespace refloq::platform {
namespace {

struct LocaleId {
  std::string_view name;  // language_TERRITORY, or a language alone
  std::uint16_t id;
};

// Windows' ids for the locales a user of this tool is likely to run.  A
// language without its territory maps to the language's default sublanguage.
constexpr std::array kLocales = {
    LocaleId{"en_US", 0x0409}, LocaleId{"en_GB", 0x0809},
    LocaleId{"en", 0x0409},    LocaleId{"de_DE", 0x0407},
    LocaleId{"de", 0x0407},    LocaleId{"fr_FR", 0x040C},
    LocaleId{"fr_CA", 0x0C0C}, LocaleId{"fr", 0x040C},
    LocaleId{"it_IT", 0x0410}, LocaleId{"it", 0x0410},
    LocaleId{"es_ES", 0x0C0A}, LocaleId{"es_MX", 0x080A},
    LocaleId{"es_US", 0x540A}, LocaleId{"es_CL", 0x340A},
    LocaleId{"es", 0x0C0A},    LocaleId{"pt_PT", 0x0816},
    LocaleId{"pt_BR", 0x0416}, LocaleId{"pt", 0x0816},
    LocaleId{"nl_NL", 0x0413}, LocaleId{"nl", 0x0413},
    LocaleId{"nb_NO", 0x0414}, LocaleId{"nb", 0x0414},
    LocaleId{"sv_SE", 0x041D}, LocaleId{"sv", 0x041D},
    LocaleId{"fi_FI", 0x040B}, LocaleId{"fi", 0x040B},
    LocaleId{"da_DK", 0x0406}, LocaleId{"da", 0x0406},
    LocaleId{"ru_RU", 0x0419}, LocaleId{"ru", 0x0419},
    LocaleId{"cs_CZ", 0x0405}, LocaleId{"cs", 0x0405},
    LocaleId{"hu_HU", 0x040E}, LocaleId{"hu", 0x040E},
    LocaleId{"pl_PL", 0x0415}, LocaleId{"pl", 0x0415},
    LocaleId{"bg_BG", 0x0402}, LocaleId{"bg", 0x0402},
    LocaleId{"ro_RO", 0x0418}, LocaleId{"ro", 0x0418},
    LocaleId{"sk_SK", 0x041B}, LocaleId{"sk", 0x041B},
    LocaleId{"hr_HR", 0x041A}, LocaleId{"hr", 0x041A},
    LocaleId{"sl_SI", 0x0424}, LocaleId{"sl", 0x0424},
    LocaleId{"zh_CN", 0x0804}, LocaleId{"zh_SG", 0x1004},
    LocaleId{"zh_TW", 0x0404}, LocaleId{"zh_HK", 0x0C04},
    LocaleId{"zh", 0x0804},    LocaleId{"ja_JP", 0x0411},
    LocaleId{"ja", 0x0411},    LocaleId{"ko_KR", 0x0412},
    LocaleId{"ko", 0x0412},    LocaleId{"tr_TR", 0x041F},
    LocaleId{"tr", 0x041F},    LocaleId{"id_ID", 0x0421},
    LocaleId{"id", 0x0421},    LocaleId{"uk_UA", 0x0422},
    LocaleId{"uk", 0x0422},    LocaleId{"kk_KZ", 0x043F},
    LocaleId{"kk", 0x043F},    LocaleId{"be_BY", 0x0423},
    LocaleId{"be", 0x0423},    LocaleId{"sr_RS", 0x241A},
    LocaleId{"sr_ME", 0x2C1A}, LocaleId{"sr", 0x241A},
    LocaleId{"mk_MK", 0x042F}, LocaleId{"mk", 0x042F},
    LocaleId{"ar_AE", 0x3801}, LocaleId{"ar_SA", 0x0401},
    LocaleId{"ar", 0x0401},    LocaleId{"fa_IR", 0x0429},
    LocaleId{"fa", 0x0429},    LocaleId{"vi_VN", 0x042A},
    LocaleId{"vi", 0x042A},    LocaleId{"th_TH", 0x041E},
    LocaleId{"th", 0x041E},
};

std::uint16_t Find(std::string_view name) {
  const auto it =
      std::find_if(kLocales.begin(), kLocales.end(),
                   [&](const LocaleId& l) { return l.name == name; });
  return it == kLocales.end() ? 0 : it->id;
}

}  // namespace

std::uint16_t LangIdFromLocaleName(std::string_view locale) {
  // Drop ".codeset" and "@modifier": "sr_RS.UTF-8@latin" -> "sr_RS".
  locale = locale.substr(0, locale.find_first_of(".@"));
  if (const std::uint16_t id = Find(locale)) return id;
  if (const std::uint16_t id = Find(locale.substr(0, locale.find('_')))) {
    return id;
  }
  return kLangIdEnglishUs;
}

}  // namespace refloq::platform
