#include "platform/Ansi.h"

#include <gtest/gtest.h>

using namespace dw;

TEST(Ansi, WindowsCodePageBytes)
{
    struct Case
    {
        const char16_t* text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {u"Kein Name", QByteArray("Kein Name")},
        {u"äöüß€", QByteArray("\xE4\xF6\xFC\xDF\x80")},
        {u"Zeile 1\r\nZeile 2", QByteArray("Zeile 1\r\nZeile 2")},
        {u"„Anführung“ – Strich…", QByteArray("\x84""Anf\xFChrung\x93 \x96 Strich\x85")},
        {u"", QByteArray()},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(ToAnsi(text), c.bytes) << text.toStdString();
        EXPECT_EQ(FromAnsi(c.bytes), text) << text.toStdString();
    }
}

TEST(Ansi, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(ToAnsi(QStringLiteral("日本 ok")), QByteArray("?? ok"));
    EXPECT_EQ(ToAnsi(QString::fromUtf16(u"\U0001F600")), QByteArray("?"));
}

TEST(Ansi, EveryByteSurvivesARoundTrip)
{
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all.append(static_cast<char>(b));
    EXPECT_EQ(ToAnsi(FromAnsi(all)), all);
}
