#include "app/gui_text.h"
#include "app/ui_dialogs.h"
#include "support/cp1251.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace tgm;

TEST(UiDialogs, FiltersMatchExtensionsInEitherLetterCase) {
    const QStringList f = qt_filters(QString::fromUtf8("Форма fs|*.FS|Форма fs31|*.FS31|Формы|*.FS*;*.F1"));
    ASSERT_EQ(f.size(), 3);
    EXPECT_EQ(f[0], QString::fromUtf8("Форма fs (*.[Ff][Ss])"));
    auto matches = [](const QString& pattern, const QString& name) {
        return QRegularExpression::fromWildcard(pattern, Qt::CaseSensitive).match(name).hasMatch();
    };
    EXPECT_TRUE(matches("*.[Ff][Ss]", "a.fs"));
    EXPECT_TRUE(matches("*.[Ff][Ss]", "A.FS"));
    EXPECT_TRUE(matches("*.[Ff][Ss]", "a.Fs"));
    EXPECT_FALSE(matches("*.[Ff][Ss]", "a.fs31"));
    EXPECT_EQ(f[2], QString::fromUtf8("Формы (*.[Ff][Ss]* *.[Ff]1)"));
}

TEST(UiDialogs, NamesShowAsUtf8FileNamesOrAsTheProgramsOwnText) {
    EXPECT_EQ(name_text("/home/u/Бак.fs"), QString::fromUtf8("/home/u/Бак.fs"));
    EXPECT_EQ(name_text(cp("Система")), QString::fromUtf8("Система"));
    EXPECT_EQ(name_text("NONAME"), "NONAME");
    EXPECT_EQ(cps(QString::fromUtf8("Ёмкость")), cp("Ёмкость"));
}
