#include "core/FeatureCaptions.h"

#include "core/ProgramFolder.h"
#include "platform/ini/IniFile.h"

namespace {

const TFeature kFeatures[FeatureCount] = {
    {"C_AzHayat", "azhayat", "azhayat_s", "درب از حياط"},
    {"C_AzSakhteman", "azsakhteman", "azsakhteman_s", "درب از ساختمان"},
    {"C_Pardeh", "pardeh", "pardeh_S", "پرده"},
    {"C_Loster", "loster", "loster_s", "لوستر"},
    {"C_Parvanehsakht", "parvanehsakht", "parvanehsakht_s", "پروانه ساخت"},
    {"C_Ayfon", "Ayfon", "ayfon_s", "آيفون تصويري"},
    {"C_Asansor", "Asansor", "Asansor_s", "آسانسور"},
    {"C_Sona", "Sona", "Sona_s", "سونا"},
    {"C_Jakozi", "jakozi", "jakozi_s", "جکوزي"},
    {"C_stakhr", "stakhr", "stakhr_s", "استخر"},
    {"C_mobl", "mobl", "mobl_s", "مبلمان"},
    {"C_doblex", "doblex", "doblex_s", "دوبلکس"},
    {"C_kitchen", "kitchen", "kitchen_s", "آشپزخانه اپن"},
    {"C_darcontoroly", "darcontoroly", "darcontoroly_s", "درب کنترلي"},
    {"C_shoomineh", "shoomineh", "shoomineh_s", "شمينه"},
    {"C_jaroobarghi", "jaroobarghi", "jaroobarghi_s", "جاروبرقي مرکزي"},
    {"C_anten", "anten", "anten_s", "آنتن مرکزي"},
    {"C_noorpardazi", "noorpardazi", "noorpardazi_s", "نورپردازي"},
    {"C_shofazh", "shofazh", "shofazh_s", "شوفاژ مرکزي"},
    {"C_vambanki", "vambanki", "vambanki_s", "وام بانکي"},
    {"C_shomali", "shomali", "shomali_s", "شمالي"},
    {"C_jonobi", "jonobi", "jonobi_s", "جنوبي"},
    {"C_package", "package", "package_s", "پکيج"},
    {"C_saloonbiliyard", "saloonbiliyard", "saloonbiliyard_s", "سالن بيليارد"},
    {"C_saloonejtemaat", "saloonejtemaat", "saloonejtemaat_s", "سالن اجتماعات"},
    {"C_badansazi", "badansazi", "badansazi_s", "سالن بدن سازي"},
    {"C_ketabkhaneh", "ketabkhaneh", "ketabkhaneh_s", "کتابخانه"},
    {"C_komod", "komod", "komod_s", "کمد"},
    {"C_doozdgir", "doozdgir", "doozdgir_s", "دزگير"},
    {"C_mojavez", "mojavez", "mojavez_s", "مجوز"},
    {"C_mostaghel", "mostaghel", "mostaghel_s", "مستقل"},
    {"C_elamharigh", "elamharigh", "elamharigh_s", "اعلام حريق"},
    {"C_etfaeharigh", "etfaeharigh", "etfaeharigh_s", "اطفاحريق"},
    {"C_pelehezterari", "pelehezterari", "pelehezterari_s", "پله اضطراري"},
    {"C_teras", "teras", "teras_s", "تراس"},
    {"C_balkon", "balkon", "balkon_s", "بالکن"},
    {"C_shirvani", "shirvani", "shirvani_s", "شيرواني"},
    {"C_bokhary", "bokhary", "bokhary_s", "بخاري"},
    {"C_radiyator", "radiyator", "radiyator_s", "رادياتور"},
    {"C_moshtarak", "moshtarak", "moshtarak_s", "مشترک"},
};

const QString kSection = QStringLiteral("Ans");

QStringList defaults()
{
    QStringList out;
    for (const TFeature& f : kFeatures)
        out << QString::fromUtf8(f.defaultTitle);
    return out;
}

QStringList& captions()
{
    static QStringList list = defaults();
    return list;
}

} // namespace

const TFeature* Features() { return kFeatures; }

QString FeatureCaptionsPath() { return ProgramFolder() + QStringLiteral("Anavin.ini"); }

void LoadFeatureCaptions()
{
    const ini::IniFile ini(FeatureCaptionsPath());
    QStringList list;
    for (const TFeature& f : kFeatures)
        list << ini.readString(kSection, QString::fromLatin1(f.key), QString::fromUtf8(f.defaultTitle));
    captions() = list;
}

const QStringList& FeatureCaptions() { return captions(); }

QString FeatureCaption(int index) { return captions().value(index); }

bool SaveFeatureCaptions(const QStringList& titles)
{
    if (titles.size() != FeatureCount)
        return false;
    ini::IniFile ini(FeatureCaptionsPath());
    for (int i = 0; i < FeatureCount; ++i)
        ini.writeString(kSection, QString::fromLatin1(kFeatures[i].key), titles[i]);
    if (!ini.save())
        return false;
    captions() = titles;
    return true;
}
