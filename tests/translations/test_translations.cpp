// Which language the programs speak for which locale variables, and the two
// forms of the English texts: the table of the programs without Qt says what
// Qt's compiled translation says.
#include "plain/Language.h"
#include "plain/Translate.h"

#include <QFile>
#include <QRegularExpression>
#include <QTranslator>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

using dw::Language;

TEST(Translations, LanguageFollowsTheLocaleVariablesInGettextsOrder)
{
    struct Case
    {
        const char* language;
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        Language expected;
    };
    const Language de = Language::German, en = Language::English;
    const Case cases[] = {
        {nullptr, nullptr, nullptr, nullptr, de},
        {"", "", "", "", de},
        {nullptr, nullptr, nullptr, "C", de},
        {nullptr, nullptr, nullptr, "POSIX", de},
        {nullptr, "C.UTF-8", nullptr, "en_US.UTF-8", de},
        {nullptr, nullptr, nullptr, "de_DE.UTF-8", de},
        {nullptr, nullptr, nullptr, "de_CH.UTF-8@euro", de},
        {nullptr, nullptr, nullptr, "de", de},
        {nullptr, nullptr, nullptr, "en_US.UTF-8", en},
        {nullptr, nullptr, nullptr, "fr_FR.UTF-8", en},
        {nullptr, nullptr, nullptr, "ja_JP.eucJP", en},
        {nullptr, nullptr, nullptr, "dsb_DE.UTF-8", en},
        {nullptr, "de_DE.UTF-8", "en_GB.UTF-8", "en_US.UTF-8", de},
        {nullptr, "", "en_GB.UTF-8", "de_DE.UTF-8", en},
        {nullptr, nullptr, "de_AT.UTF-8", "en_US.UTF-8", de},
        // LANGUAGE: the first entry that names German or English, else the locale.
        {"en", nullptr, nullptr, "de_DE.UTF-8", en},
        {"de:en", nullptr, nullptr, "en_US.UTF-8", de},
        {"fr:de_AT:en", nullptr, nullptr, "en_US.UTF-8", de},
        {"fr", nullptr, nullptr, "de_DE.UTF-8", de},
        {"fr", nullptr, nullptr, "it_IT.UTF-8", en},
        {"::en_GB", nullptr, nullptr, "de_DE.UTF-8", en},
        // gettext ignores LANGUAGE under C, and where no locale is set at all.
        {"en", "C", nullptr, "en_US.UTF-8", de},
        {"en_US:en", nullptr, nullptr, nullptr, de},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dw::LanguageFor(c.language, c.lcAll, c.lcMessages, c.lang), c.expected)
            << "LANGUAGE=" << (c.language ? c.language : "-") << " LC_ALL=" << (c.lcAll ? c.lcAll : "-")
            << " LC_MESSAGES=" << (c.lcMessages ? c.lcMessages : "-") << " LANG=" << (c.lang ? c.lang : "-");
}

TEST(Translations, ArgReplacesEachPlaceholderOnce)
{
    struct Case
    {
        const char* text;
        std::initializer_list<std::string_view> args;
        const char* expected;
    };
    const Case cases[] = {
        {"%1 lässt sich nicht starten (%2).",
         {"/x", "No such file"},
         "/x lässt sich nicht starten (No such file)."},
        {"%2 vor %1", {"a", "b"}, "b vor a"},
        // An argument is never read as a placeholder itself.
        {"%1 und %2", {"%2", "z"}, "%2 und z"},
        {"100% und %3", {"a"}, "100% und %3"},
        {"am Ende %", {}, "am Ende %"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dw::Arg(c.text, c.args), c.expected) << c.text;
}

TEST(Translations, TheTableWithoutQtSaysWhatQtsTranslationSays)
{
    QTranslator qt;
    ASSERT_TRUE(qt.load(QStringLiteral(":/i18n/datumswecker_en.qm"))) << "the translation is not compiled in";
    // A form's text and one of the code's, through Qt.
    EXPECT_EQ(qt.translate("TMainForm", "&Einstellungen"), QStringLiteral("&Settings"));
    EXPECT_EQ(qt.translate("MessageBox", "&Ja"), QStringLiteral("&Yes"));

    ASSERT_GT(dw::TextTableSize, 0u);
    for (std::size_t i = 0; i < dw::TextTableSize; ++i) {
        const dw::TextEntry& entry = dw::TextTable[i];
        EXPECT_EQ(QString::fromUtf8(entry.english), qt.translate(entry.context, entry.source))
            << entry.source;
        EXPECT_EQ(dw::English(entry.context, entry.source), entry.english) << entry.source;
    }
    EXPECT_EQ(dw::English("plain::Help", "kein solcher Text"), nullptr);
    EXPECT_EQ(dw::English("plain::Nirgends", dw::TextTable[0].source), nullptr);
    // The test programs run under C: the source text itself.
    EXPECT_STREQ(dw::Tr(dw::TextTable[0].context, dw::TextTable[0].source), dw::TextTable[0].source);
}

// A translation that loses or doubles a placeholder prints a wrong text (an
// argument gone, or "%2" itself), and one without the key of its source leaves a
// control the keyboard cannot reach.
TEST(Translations, EveryTranslationKeepsThePlaceholdersAndTheKeyOfItsSource)
{
    QFile file(QStringLiteral(DW_TS_FILE));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto placeholders = [](const QString& text) {
        static const QRegularExpression number(QStringLiteral("%[1-9]"));
        QStringList found;
        for (const QRegularExpressionMatch& m : number.globalMatch(text))
            found << m.captured();
        found.sort();
        return found;
    };
    const auto hasKey = [](QString text) {
        text.remove(QStringLiteral("&&"));
        static const QRegularExpression key(QStringLiteral("&\\w"));
        return key.match(text).hasMatch();
    };
    QXmlStreamReader xml(&file);
    QString source;
    int checked = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            const QString english = xml.readElementText();
            EXPECT_EQ(placeholders(english), placeholders(source)) << source.toStdString();
            EXPECT_EQ(hasKey(english), hasKey(source)) << source.toStdString();
            ++checked;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(checked, 300);
}

} // namespace
