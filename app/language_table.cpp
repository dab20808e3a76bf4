#include "app/language.h"

namespace refloq::app {

// The codes are the library file names as shipped, not standard locale
// names ("cz_CZ", "jp_JP", "ua_UA", ...).  Both "Serbian" rows name one
// library; the reserved rows have id 0x0999 and no code.
const std::array<LanguageRow, kLanguageRowCount> kLanguageTable = {{
    {0x0409, "en_US", "English(US)"},
    {0x0809, "en_UK", "English(UK)"},
    {0x0407, "de_DE", "German"},
    {0x040C, "fr_FR", "French"},
    {0x0410, "it_IT", "Italian"},
    {0x0C0A, "es_ES_T", "Spanish(Castilian)"},
    {0x0816, "pt_PT", "Portuguese(Portugal)"},
    {0x0413, "nl_NL", "Dutch"},
    {0x0414, "nb_NO", "Norwegian(Bokmal)"},
    {0x041D, "sv_SE", "Swedish"},
    {0x040B, "fi_FI", "Finnish"},
    {0x0406, "da_DK", "Danish"},
    {0x0419, "ru_RU", "Russian"},
    {0x0999, "", "Reserved 1"},
    {0x0405, "cz_CZ", "Czech"},
    {0x040E, "hu_HU", "Hungarian"},
    {0x0415, "pl_PL", "Polish"},
    {0x0402, "bg_BG", "Bulgarian"},
    {0x0418, "ro_RO", "Romanian"},
    {0x041B, "sk_SK", "Slovak"},
    {0x041A, "hr_HR", "Croatian"},
    {0x0424, "sl_SL", "Slovenian"},
    {0x0999, "", "Reserved 2"},
    {0x0804, "zh_CN", "Chinese(P.R.C.)"},
    {0x0404, "zh_TW", "Chinese(Taiwan)"},
    {0x0411, "jp_JP", "Japanese"},
    {0x0412, "ko_KR", "Korean"},
    {0x041F, "tr_TR", "Turkish"},
    {0x0999, "", "Reserved 3"},
    {0x0421, "id_ID", "Indonesian"},
    {0x0999, "", "Reserved 4"},
    {0x0999, "", "Reserved 5"},
    {0x080A, "es_US", "Spanish(USA)"},
    {0x0416, "pt_BR", "Portuguese (Brazil)"},
    {0x0C0C, "fr_CA", "French(Canada)"},
    {0x0422, "ua_UA", "Ukrainian"},
    {0x043F, "kk_KZ", "Kazakhstan"},
    {0x0423, "be_BY", "Belarus"},
    {0x081A, "sr_CS", "Serbian"},
    {0x042F, "mk_MK", "Macedonia"},
    {0x0401, "ar_AE", "Arabic"},
    {0x0429, "pr_IR", "Persian"},
    {0x042A, "vi_VN", "Vietnamese"},
    {0x041E, "th_TH", "Thai"},
    {0x340A, "es_CL", "Spanish(Chile)"},
    {0x241A, "sr_CS", "Serbian"},
}};

}  // namespace refloq::app
