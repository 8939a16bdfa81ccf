// The two settings branches as INI files in the XDG config home: round trips, the
// defaults of an empty store, non-zero as true, wrong types as the default, and the
// errors of a store that cannot be read or written.

#include "model/Error.h"
#include "env/Settings.h"
#include "support/ErrorCheck.h"
#include "support/TemporaryHome.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <gtest/gtest.h>

#include <functional>

namespace qm::test {
namespace {



class SettingsTest : public ::testing::Test {
protected:
    TemporaryHome home_;
    QString TarnwellFile() const { return home_.ConfigHome() + QStringLiteral("/Tarnwell/Quillamere-1.0.ini"); }
    QString KvxFile() const { return home_.ConfigHome() + QStringLiteral("/KVX/Quillamere-1.0.ini"); }
    // What another program (or the user) may have left in a store.
    void StoreRaw(const QString& file, const QByteArray& text) { WriteBytes(file, text); }
};

TEST_F(SettingsTest, StoresLiveInOneIniFilePerBranchInTheConfigHome) {
    EXPECT_EQ(SettingsStoreLocation(QStringLiteral("Tarnwell")), TarnwellFile());
    EXPECT_EQ(SettingsStoreLocation(QStringLiteral("KVX")), KvxFile());
    const QString elsewhere = home_.Root() + QStringLiteral("/cfg");
    home_.Set("XDG_CONFIG_HOME", elsewhere.toUtf8());
    EXPECT_EQ(SettingsStoreLocation(QStringLiteral("KVX")), elsewhere + QStringLiteral("/KVX/Quillamere-1.0.ini"));
}

TEST_F(SettingsTest, EmptyStoreReadsTheDefaultAndLeavesAnEmptySettingsGroup) {
    EXPECT_TRUE(ReadBoolSetting(QStringLiteral("ShowTempletsDialog"), true));
    EXPECT_FALSE(ReadBoolSetting(QStringLiteral("ShowTempletsDialog"), false));
    ASSERT_TRUE(QFileInfo::exists(TarnwellFile()));
    EXPECT_EQ(ReadBytes(TarnwellFile()), QByteArray("[Settings]\n"));
    QSettings stored(TarnwellFile(), QSettings::IniFormat);
    EXPECT_TRUE(stored.allKeys().isEmpty());
    // The other branch is not touched by a read of this one, nor by its own reads.
    EXPECT_TRUE(ReadKvxBool(QStringLiteral("Settings"), QStringLiteral("ShowLinkTipDialog"), true));
    EXPECT_FALSE(QFileInfo::exists(KvxFile()));
}

TEST_F(SettingsTest, BooleansRoundTripAsOneAndZero) {
    WriteBoolSetting(QStringLiteral("ShowTempletsDialog"), false);
    EXPECT_FALSE(ReadBoolSetting(QStringLiteral("ShowTempletsDialog"), true));
    EXPECT_TRUE(ReadBytes(TarnwellFile()).contains("[Settings]\nShowTempletsDialog=0\n"));

    WriteBoolSetting(QStringLiteral("ShowFlashLocalSecurityWarningTipDialog"), true);
    EXPECT_TRUE(ReadBoolSetting(QStringLiteral("ShowFlashLocalSecurityWarningTipDialog"), false));
    EXPECT_TRUE(ReadBytes(TarnwellFile()).contains("ShowFlashLocalSecurityWarningTipDialog=1\n"));
    EXPECT_FALSE(ReadBoolSetting(QStringLiteral("ShowTempletsDialog"), true));  // the first one stays

    WriteBoolSetting(QStringLiteral("ShowTempletsDialog"), true);
    EXPECT_TRUE(ReadBoolSetting(QStringLiteral("ShowTempletsDialog"), false));
}

TEST_F(SettingsTest, AnyNonZeroWholeNumberReadsTrue) {
    StoreRaw(TarnwellFile(), "[Settings]\nA=5\nB=-1\nC=0\nD=+7\nE=00\n");
    EXPECT_TRUE(ReadBoolSetting(QStringLiteral("A"), false));
    EXPECT_TRUE(ReadBoolSetting(QStringLiteral("B"), false));
    EXPECT_FALSE(ReadBoolSetting(QStringLiteral("C"), true));
    EXPECT_TRUE(ReadBoolSetting(QStringLiteral("D"), false));
    EXPECT_FALSE(ReadBoolSetting(QStringLiteral("E"), true));
}

TEST_F(SettingsTest, ValueOfTheWrongTypeReadsAsTheDefault) {
    StoreRaw(TarnwellFile(),
             "[Settings]\nWord=yes\nBool=true\nFraction=1.5\nEmpty=\nMixed=5 apples\nList=1, 0\nHex=0x1\n");
    for (const char* name : {"Word", "Bool", "Fraction", "Empty", "Mixed", "List", "Hex"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(ReadBoolSetting(QLatin1String(name), true));
        EXPECT_FALSE(ReadBoolSetting(QLatin1String(name), false));
    }
    // Writing over a wrong value mends it.
    WriteBoolSetting(QStringLiteral("Word"), false);
    EXPECT_FALSE(ReadBoolSetting(QStringLiteral("Word"), true));
}

TEST_F(SettingsTest, BranchesAreSeparate) {
    WriteBoolSetting(QStringLiteral("ShowLinkTipDialog"), false);
    EXPECT_TRUE(ReadKvxBool(QStringLiteral("Settings"), QStringLiteral("ShowLinkTipDialog"), true));
    WriteKvxBool(QStringLiteral("Settings"), QStringLiteral("ShowLinkTipDialog"), false);
    EXPECT_FALSE(ReadKvxBool(QStringLiteral("Settings"), QStringLiteral("ShowLinkTipDialog"), true));
    EXPECT_TRUE(ReadBytes(KvxFile()).contains("[Settings]\nShowLinkTipDialog=0\n"));
    WriteBoolSetting(QStringLiteral("ShowLinkTipDialog"), true);
    EXPECT_FALSE(ReadKvxBool(QStringLiteral("Settings"), QStringLiteral("ShowLinkTipDialog"), true));
}

TEST_F(SettingsTest, KvxGroupExistsOnlyOnceItHoldsAValue) {
    const QString group = QStringLiteral("Web Browsers");
    EXPECT_FALSE(KvxGroupExists(group));
    WriteKvxValue(QStringLiteral("Settings"), QStringLiteral("ShowLinkTipDialog"), 1);
    EXPECT_FALSE(KvxGroupExists(group));
    WriteKvxValue(group, QStringLiteral("UseDefaultBrowser"), 1);
    EXPECT_TRUE(KvxGroupExists(group));
    EXPECT_FALSE(KvxGroupExists(QStringLiteral("Web")));
}

TEST_F(SettingsTest, KvxTextRoundTripsExactly) {
    const QString group = QStringLiteral("Web Browsers");
    const QString texts[] = {
        QStringLiteral("  /opt/my browser/run  "),
        QStringLiteral("C:\\Program Files\\Browser\\b.exe"),
        QStringLiteral("a, b; c = \"d\" #e"),
        QStringLiteral("Überprüfer ☃"),
        QStringLiteral("[Section]"),
        QString(),
        QStringLiteral("42"),
    };
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        WriteKvxValue(group, QStringLiteral("SpecifiedBrowserExePath"), text);
        const QVariant back = ReadKvxValue(group, QStringLiteral("SpecifiedBrowserExePath"));
        EXPECT_EQ(back.metaType().id(), QMetaType::QString);
        EXPECT_EQ(back.toString(), text);
    }
}

TEST_F(SettingsTest, KvxIntegersRoundTripAndRejectWhatIsNotOne) {
    const QString group = QStringLiteral("Web Browsers");
    for (int n : {-1, 0, 3, 2147483647, -2147483647 - 1}) {
        WriteKvxValue(group, QStringLiteral("SelectedBrowserNumber"), n);
        EXPECT_EQ(ReadKvxInt(group, QStringLiteral("SelectedBrowserNumber")), n);
    }
    EXPECT_EQ(ReadKvxInt(group, QStringLiteral("Missing")), std::nullopt);
    EXPECT_EQ(ReadKvxValue(group, QStringLiteral("Missing"), QStringLiteral("fallback")).toString(),
              QStringLiteral("fallback"));
    StoreRaw(KvxFile(), "[Web%20Browsers]\nBig=4294967296\nWord=two\nBlank=\nSpaced= 7 \n");
    EXPECT_EQ(ReadKvxInt(group, QStringLiteral("Big")), std::nullopt);
    EXPECT_EQ(ReadKvxInt(group, QStringLiteral("Word")), std::nullopt);
    EXPECT_EQ(ReadKvxInt(group, QStringLiteral("Blank")), std::nullopt);
    EXPECT_EQ(ReadKvxInt(group, QStringLiteral("Spaced")), 7);
}

TEST_F(SettingsTest, StoreThatCannotBeReadIsAnError) {
    ASSERT_TRUE(QDir().mkpath(TarnwellFile()));  // a folder where the file should be
    const std::string expected = TarnwellFile().toStdString() + ": cannot read the settings";
    EXPECT_QM_ERROR(ReadBoolSetting(QStringLiteral("ShowTempletsDialog"), true), expected);
    EXPECT_QM_ERROR(WriteBoolSetting(QStringLiteral("ShowTempletsDialog"), true), expected);

    ASSERT_TRUE(QDir().mkpath(KvxFile()));
    const std::string kvx = KvxFile().toStdString() + ": cannot read the settings";
    EXPECT_QM_ERROR(ReadKvxBool(QStringLiteral("Settings"), QStringLiteral("ShowLinkTipDialog"), true), kvx);
    EXPECT_QM_ERROR(KvxGroupExists(QStringLiteral("Web Browsers")), kvx);
    EXPECT_QM_ERROR(ReadKvxInt(QStringLiteral("Web Browsers"), QStringLiteral("X")), kvx);
}

TEST_F(SettingsTest, StoreThatCannotBeWrittenIsAnErrorButReadsStillWork) {
    WriteBytes(home_.ConfigHome() + QStringLiteral("/Tarnwell"), "a file where the branch's folder belongs");
    EXPECT_QM_ERROR(WriteBoolSetting(QStringLiteral("ShowTempletsDialog"), false),
                    TarnwellFile().toStdString() + ": cannot write the settings");
    // Nothing stored, nothing to leave behind: the read gives the default quietly.
    EXPECT_TRUE(ReadBoolSetting(QStringLiteral("ShowTempletsDialog"), true));

    WriteBytes(home_.ConfigHome() + QStringLiteral("/KVX"), "a file");
    EXPECT_QM_ERROR(WriteKvxBool(QStringLiteral("Settings"), QStringLiteral("ShowLinkTipDialog"), true),
                    KvxFile().toStdString() + ": cannot write the settings");
}

}  // namespace
}  // namespace qm::test
