// The walk of a simulated drive: which entries become lines and in what
// order, which directories are entered, the entries' own times, CurrentDir
// and the walk nodes afterwards, and the locale's date and time settings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/directory_walk.h"
#include "catalogue/drive_table.h"
#include "catalogue/listing_file.h"
#include "catalogue/text_file.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_code_page.h"

namespace {

uint64_t May17() { return sim::Utc(2003, 5, 17, 14, 32, 10); }

// A directory entry as the search returns it: its wide name given in UTF-8,
// its ANSI text as the code page 1252 gives it.
TSEARCHREC DirectoryEntry(std::string_view name) {
    TSEARCHREC entry{};
    entry.EntryAttributes = 0x10;
    std::u16string wide = sim::Utf16(name);
    wide.copy(entry.FindData.wideName, wide.size());
    entry.EntryName = sim::AnsiText(wide, 1252);
    return entry;
}

class DirectoryWalkTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim::Reset();
        QueryResult();
        ReadDateTimeSettings(); // month/day/year, "/" and ":", no hour leading zero
        sim::AddVolume('C', "SYSTEM", 0x43000000);
        sim::AddVolume('D', "DATA", 0x1234ABCD);
    }

    // A file last written on 17 May 2003 at 14:32:10 UTC, 1536 bytes unless told.
    static void File(std::string_view path, uint64_t size = 1536, uint64_t lastWrite = May17(),
                     uint32_t attributes = 0x20) {
        sim::AddFile(path, size, lastWrite, attributes);
    }

    // Runs the drive command for D: and returns the listing file.
    static std::string ListDriveD() {
        ScanDrives();
        WriteDriveListing(104);
        return sim::FileBytes(kListingFilePath);
    }

    // The line of a file of D: (label DATA, serial 1234ABCD), with its line end.
    static std::string LineOfD(std::string_view directory, std::string_view name, std::string_view extension,
                               std::string_view kilobytes = "2", std::string_view when = "05/17/2003 14:32") {
        return "D:;DATA;1234ABCD;" + std::string(directory) + ";" + std::string(name) + ";" + std::string(extension) +
               ";" + std::string(kilobytes) + ";kB;" + std::string(when) + "\r\n";
    }
};

TEST_F(DirectoryWalkTest, SongInLiveOfDriveCLabelledData) {
    sim::AddVolume('C', "DATA", 0x1234ABCD);
    // An earlier run left 3000 bytes; the walk meets the listing file with that size.
    std::string earlier = std::string(2998, 'x') + "\r\n";
    sim::PutFile(kListingFilePath, earlier);
    sim::AddFile(kListingFilePath, earlier.size(), sim::Utc(2003, 5, 17, 9, 5, 0));
    File("C:\\Songs\\Live\\song.mp3");
    ScanDrives();
    WriteDriveListing(103);
    EXPECT_EQ(sim::FileBytes(kListingFilePath),
              earlier +
                  "C:;DATA;1234ABCD;\\;Volume Dateienverzeichnis.txt;txt;3;kB;05/17/2003 9:05\r\n"
                  "C:;DATA;1234ABCD;\\Songs\\Live\\;song.mp3;mp3;2;kB;05/17/2003 14:32\r\n");
}

TEST_F(DirectoryWalkTest, DepthFirstPreOrderInThePlatformsOrder) {
    File("D:\\a.txt");
    File("D:\\one\\b.txt");
    File("D:\\one\\two\\c.txt");
    File("D:\\one\\d.txt");
    sim::AddDirectory("D:\\one\\empty");
    File("D:\\e.txt");
    File("D:\\three\\f.txt");
    File("D:\\Zeta.txt");
    File("D:\\alpha.txt");
    EXPECT_EQ(ListDriveD(), LineOfD("\\", "a.txt", "txt") + LineOfD("\\one\\", "b.txt", "txt") +
                                LineOfD("\\one\\two\\", "c.txt", "txt") + LineOfD("\\one\\", "d.txt", "txt") +
                                LineOfD("\\", "e.txt", "txt") + LineOfD("\\three\\", "f.txt", "txt") +
                                LineOfD("\\", "Zeta.txt", "txt") + LineOfD("\\", "alpha.txt", "txt"));
    EXPECT_EQ(CurrentDir.view(), "\\");
}

TEST_F(DirectoryWalkTest, EmptyRootGivesNoLines) {
    int before = LiveWalkNodes();
    EXPECT_EQ(ListDriveD(), "");
    EXPECT_TRUE(sim::FileExists(kListingFilePath));
    EXPECT_TRUE(sim::Writes().empty());
    EXPECT_EQ(CurrentDir.view(), "\\");
    EXPECT_EQ(LiveWalkNodes(), before);
    EXPECT_TRUE(sim::StatusTexts().empty());
}

TEST_F(DirectoryWalkTest, EveryNodeIsReleasedAndCurrentDirIsBackAtTheRoot) {
    File("D:\\one\\two\\three\\deep.txt");
    File("D:\\four\\x.txt");
    sim::AddDirectory("D:\\five\\six");
    int before = LiveWalkNodes();
    ListDriveD();
    EXPECT_EQ(LiveWalkNodes(), before);
    EXPECT_EQ(CurrentDir.view(), "\\");
}

TEST_F(DirectoryWalkTest, WalkOfASubdirectoryHandsBackTheEnclosingPath) {
    File("D:\\one\\two\\c.txt");
    File("D:\\one\\d.txt");
    ScanDrives();
    Bind(ListingFile, kListingFilePath);
    Create(ListingFile);
    CurrentDrive[0] = 'D';
    CurrentDir = "\\one\\";
    int before = LiveWalkNodes();
    WalkDirectory(NewWalkNode(nullptr));
    EXPECT_EQ(CurrentDir.view(), "\\");
    EXPECT_EQ(LiveWalkNodes(), before);
    Close(ListingFile);
    Check();
    EXPECT_EQ(sim::FileBytes(kListingFilePath),
              LineOfD("\\one\\two\\", "c.txt", "txt") + LineOfD("\\one\\", "d.txt", "txt"));
}

TEST_F(DirectoryWalkTest, DotDirectoriesAndExactlyRecycledArePassedOver) {
    File("D:\\.git\\config");
    File("D:\\...\\x.txt");
    File("D:\\Recycled\\deleted.txt");
    File("D:\\a\\recycled\\kept.txt");
    File("D:\\b\\RECYCLED\\kept.txt");
    File("D:\\c\\Recycled\\deleted.txt");
    File("D:\\c\\Recycled2\\kept.txt");
    // Files are listed whatever their names.
    File("D:\\c\\Recycled.txt");
    File("D:\\c\\.gitignore");
    EXPECT_EQ(ListDriveD(), LineOfD("\\a\\recycled\\", "kept.txt", "txt") +
                                LineOfD("\\b\\RECYCLED\\", "kept.txt", "txt") +
                                LineOfD("\\c\\Recycled2\\", "kept.txt", "txt") + LineOfD("\\c\\", "Recycled.txt", "txt") +
                                LineOfD("\\c\\", ".gitignore", "gitignore"));
    // Every directory below the root returns "." and ".." first: no search
    // goes beneath them, nor beneath the dot directories and "Recycled".
    EXPECT_EQ(sim::SearchPatterns(),
              (std::vector<std::string>{R"(\\?\D:\*)", R"(\\?\D:\a\*)", R"(\\?\D:\a\recycled\*)", R"(\\?\D:\b\*)",
                                        R"(\\?\D:\b\RECYCLED\*)", R"(\\?\D:\c\*)", R"(\\?\D:\c\Recycled2\*)"}));
}

TEST_F(DirectoryWalkTest, DirectoriesWhoseNamesCannotAddressThemAreNotEnteredTheirLikeFilesAreListed) {
    // Unix file systems hold such names, and the code page's "?" stands for
    // characters it cannot hold; in a path they would lead elsewhere or match
    // another directory.
    File("D:\\q?dir\\x.txt");
    File("D:\\st*r\\x.txt");
    File("D:\\co:lon\\x.txt");
    File("D:\\pi|pe\\x.txt");
    File("D:\\lt<gt>\\x.txt");
    File("D:\\say\"hi\"\\x.txt");
    File("D:\\plain\\a?b*c:d|e.txt");
    EXPECT_EQ(ListDriveD(), LineOfD("\\plain\\", "a?b*c:d|e.txt", "txt"));
    EXPECT_EQ(CurrentDir.view(), "\\");

    for (const char *name : {"back\\slash", "for/ward", "ok"})
        EXPECT_EQ(EntersDirectory(DirectoryEntry(name)), std::string(name) == "ok") << name;
}

TEST_F(DirectoryWalkTest, EveryDirectoryIsReachedByItsOwnNameAndShownInTheCodePage) {
    // Each row: a file, and its directory and name as the listing shows them
    // in code page 1252. Directories are walked by their wide names; their
    // ANSI text only shows them.
    const std::vector<std::vector<std::string>> files = {
        // Outside the page, and nested outside it.
        {"D:\\Москва\\a.txt", "\\??????\\", "a.txt"},
        {"D:\\Москва\\Київ\\b.txt", "\\??????\\????\\", "b.txt"},
        {"D:\\Москва\\файл.txt", "\\??????\\", "????.txt"},
        {"D:\\Москве\\c.txt", "\\??????\\", "c.txt"}, // the same ANSI text as its sibling
        {"D:\\日本\\d.txt", "\\??\\", "d.txt"},
        {"D:\\emoji😀\\e.txt", "\\emoji??\\", "e.txt"},
        {"D:\\Ωμέγα\\f.txt", "\\O????\\", "f.txt"},
        // Best fit collides with a real sibling: both are walked.
        {"D:\\Łódź\\g.txt", "\\L\xF3" "dz\\", "g.txt"},
        {"D:\\L\xC3\xB3" "dz\\h.txt", "\\L\xF3" "dz\\", "h.txt"},
        // Trailing dot and trailing space twins.
        {"D:\\trail\\i.txt", "\\trail\\", "i.txt"},
        {"D:\\trail.\\j.txt", "\\trail.\\", "j.txt"},
        {"D:\\trail \\k.txt", "\\trail \\", "k.txt"},
        // Case twins.
        {"D:\\Pod\\l.txt", "\\Pod\\", "l.txt"},
        {"D:\\pod\\m.txt", "\\pod\\", "m.txt"},
        {"D:\\pod\\POD\\n.txt", "\\pod\\POD\\", "n.txt"},
    };
    std::string expected;
    for (const auto &file : files) {
        File(file[0]);
        expected += LineOfD(file[1], file[2], "txt");
    }
    // A name whose own characters are a wildcard addresses nothing; the "?"
    // of a character the page cannot hold does not stop a directory.
    File("D:\\q?dir\\x.txt");
    int before = LiveWalkNodes();
    EXPECT_EQ(ListDriveD(), expected);
    EXPECT_EQ(LiveWalkNodes(), before);
    EXPECT_EQ(CurrentDir.view(), "\\");
    EXPECT_EQ(sim::StatusTexts().front().text, " D:\\??????\\a.txt");
}

TEST_F(DirectoryWalkTest, DoubleBytePageHoldsNamesExactlyAndTheDepthRuleCountsBytes) {
    sim::SetCodePage(932);
    // "ソ" is 83 5C and "表" 95 5C in Shift-JIS: second bytes that are backslashes.
    const std::string so = "\x83\x5C", hyou = "\x95\x5C", a = "\x83\x41"; // ソ, 表, ア
    File("D:\\ソ表\\ソ\\one.txt");
    File("D:\\ソ表\\two.txt");
    File("D:\\next\\three.txt");
    // Below a CurrentDir of 202 bytes, a name of 26 "ア" (52 bytes) fits in
    // 255; one of 27 (54 bytes, but 27 characters) does not.
    std::string deep = "D:\\" + std::string(200, 'x') + "\\";
    std::string a26, a27;
    for (int i = 0; i < 26; ++i) a26 += "ア";
    a27 = a26 + "ア";
    File(deep + a26 + "\\entered.txt");
    File(deep + a27 + "\\not entered.txt");
    std::string a26Ansi;
    for (int i = 0; i < 26; ++i) a26Ansi += a;
    EXPECT_EQ(ListDriveD(), LineOfD("\\" + so + hyou + "\\" + so + "\\", "one.txt", "txt") +
                                LineOfD("\\" + so + hyou + "\\", "two.txt", "txt") +
                                LineOfD("\\next\\", "three.txt", "txt") +
                                LineOfD(deep.substr(2) + a26Ansi + "\\", "entered.txt", "txt"));
    EXPECT_EQ(CurrentDir.view(), "\\");
}

TEST_F(DirectoryWalkTest, HiddenSystemAndReadOnlyFilesAreListed) {
    File("D:\\hidden.sys", 1536, May17(), 0x22);
    File("D:\\system.sys", 1536, May17(), 0x26);
    File("D:\\all.sys", 1536, May17(), 0x27);
    File("D:\\plain", 1536, May17(), 0x00);
    File("D:\\hidden\\inside.txt");
    sim::AddDirectory("D:\\hidden", 0x16);
    EXPECT_EQ(ListDriveD(), LineOfD("\\", "hidden.sys", "sys") + LineOfD("\\", "system.sys", "sys") +
                                LineOfD("\\", "all.sys", "sys") + LineOfD("\\", "plain", "") +
                                LineOfD("\\hidden\\", "inside.txt", "txt"));
}

TEST_F(DirectoryWalkTest, LinksAreNotEnteredOtherReparsePointsAre) {
    File("D:\\junction\\x.txt");
    sim::AddDirectory("D:\\junction", 0x410, 0xA0000003);
    File("D:\\symlink\\x.txt");
    sim::AddDirectory("D:\\symlink", 0x410, 0xA000000C);
    // Wine reports a unix directory symlink with no tag at all.
    File("D:\\winelink\\x.txt");
    sim::AddDirectory("D:\\winelink", 0x410, 0);
    File("D:\\OneDrive\\cloud.txt");
    sim::AddDirectory("D:\\OneDrive", 0x410, 0x9000601A);
    File("D:\\dedup\\d.txt");
    sim::AddDirectory("D:\\dedup", 0x410, 0x80000013);
    // A tag means nothing without the reparse-point attribute.
    File("D:\\plain\\p.txt");
    sim::AddDirectory("D:\\plain", 0x10, 0xA0000003);
    // A file that is a link is listed like any file.
    File("D:\\filelink.txt", 1536, May17(), 0x420);
    EXPECT_EQ(ListDriveD(), LineOfD("\\OneDrive\\", "cloud.txt", "txt") + LineOfD("\\dedup\\", "d.txt", "txt") +
                                LineOfD("\\plain\\", "p.txt", "txt") + LineOfD("\\", "filelink.txt", "txt"));
}

TEST_F(DirectoryWalkTest, UnreadableDirectoryIsPassedOver) {
    File("D:\\before.txt");
    File("D:\\locked\\secret.txt");
    File("D:\\locked\\below\\deeper.txt");
    sim::MakeUnreadable("D:\\locked");
    File("D:\\after\\x.txt");
    int before = LiveWalkNodes();
    EXPECT_EQ(ListDriveD(), LineOfD("\\", "before.txt", "txt") + LineOfD("\\after\\", "x.txt", "txt"));
    EXPECT_EQ(LiveWalkNodes(), before);
}

TEST_F(DirectoryWalkTest, DirectoriesAreEnteredWhileCurrentDirFits255Characters) {
    // "\" and five names with their backslashes: 1 + 50 + 4 * 51 = 255 characters.
    std::string deepest = "\\" + std::string(49, 'a') + "\\";
    for (char c : {'b', 'c', 'd', 'e'}) deepest += std::string(50, c) + "\\";
    ASSERT_EQ(deepest.size(), 255u);
    File("D:" + deepest + "whole.txt");
    File("D:" + deepest + "x\\not entered.txt");
    // One level up, a name one character longer than fits.
    std::string above = deepest.substr(0, 204);
    File("D:" + above + std::string(51, 'f') + "\\not entered.txt");
    File("D:" + above + std::string(50, 'g') + "\\entered.txt");

    int before = LiveWalkNodes();
    std::string listing = ListDriveD();
    std::string whole = LineOfD(deepest, "whole.txt", "txt");
    EXPECT_EQ(listing, whole + LineOfD(above + std::string(50, 'g') + "\\", "entered.txt", "txt"));
    EXPECT_GT(whole.find(";whole.txt"), 255u);
    EXPECT_EQ(CurrentDir.view(), "\\");
    EXPECT_EQ(LiveWalkNodes(), before);
    // Exactly at the edge, whatever the enumeration would make of a cut path.
    CurrentDir = std::string_view(above);
    EXPECT_TRUE(EntersDirectory(DirectoryEntry(std::string(50, 'g'))));
    EXPECT_FALSE(EntersDirectory(DirectoryEntry(std::string(51, 'f'))));
    CurrentDir = "\\";
    // The status bar shows the start of the path; it is only a display.
    std::string path = "D:" + deepest + "whole.txt";
    EXPECT_EQ(sim::StatusTexts().front().text, " " + path.substr(0, 254));
}

TEST_F(DirectoryWalkTest, FieldsWithSemicolonsOrQuotesAreQuotedInTheListing) {
    sim::AddVolume('E', "MY;\"DISK\"", 0x0000ABCD);
    File("E:\\Rock;Pop\\a;b.txt");
    File("E:\\Rock;Pop\\say \"hi\".txt");
    File("E:\\plain.txt");
    ScanDrives();
    WriteDriveListing(105);
    EXPECT_EQ(sim::FileBytes(kListingFilePath),
              "E:;\"MY;\"\"DISK\"\"\";0000ABCD;\"\\Rock;Pop\\\";\"a;b.txt\";txt;2;kB;05/17/2003 14:32\r\n"
              "E:;\"MY;\"\"DISK\"\"\";0000ABCD;\"\\Rock;Pop\\\";\"say \"\"hi\"\".txt\";txt;2;kB;05/17/2003 14:32\r\n"
              "E:;\"MY;\"\"DISK\"\"\";0000ABCD;\\;plain.txt;txt;2;kB;05/17/2003 14:32\r\n");
}

TEST_F(DirectoryWalkTest, SizesAreTheFull64BitSizeInKilobytes) {
    const std::vector<std::pair<uint64_t, std::string>> sizes = {
        {0, "0"},       {511, "0"},     {512, "0"},           {513, "1"},          {1536, "2"},
        {2560, "2"},    {3584, "4"},    {2ULL << 30, "2097152"}, {5ULL << 30, "5242880"},
    };
    std::string expected;
    for (const auto &[size, kilobytes] : sizes) {
        std::string name = std::to_string(size) + ".bin";
        File("D:\\" + name, size);
        expected += LineOfD("\\", name, "bin", kilobytes);
    }
    EXPECT_EQ(ListDriveD(), expected);
}

TEST_F(DirectoryWalkTest, EachFilesPathIsShownInTheStatusBar) {
    File("D:\\a.txt");
    File("D:\\one\\b.txt");
    sim::AddDirectory("D:\\empty");
    ListDriveD();
    std::vector<std::string> shown;
    for (const sim::StatusRecord &record : sim::StatusTexts()) {
        EXPECT_EQ(record.part, 0u);
        shown.push_back(record.text);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{" D:\\a.txt", " D:\\one\\b.txt"}));
}

// Times as the walk meets them, two hours east of UTC.
class EntryTimeTest : public DirectoryWalkTest {
protected:
    static std::string ListTimes() {
        sim::SetTimeZoneOffsetMinutes(120);
        File("D:\\midnight", 0, sim::Utc(2003, 5, 16, 22, 0, 0));
        File("D:\\one second", 0, sim::Utc(2003, 5, 16, 22, 0, 1));
        File("D:\\two seconds", 0, sim::Utc(2003, 5, 16, 22, 0, 2));
        File("D:\\morning", 0, sim::Utc(2003, 5, 17, 7, 5, 59));
        File("D:\\last of 1979", 0, sim::Utc(1979, 12, 31, 21, 59, 59));
        File("D:\\first of 1980", 0, sim::Utc(1979, 12, 31, 22, 0, 0));
        File("D:\\moon landing", 0, sim::Utc(1969, 7, 20, 18, 17, 40));
        File("D:\\last of 2107", 0, sim::Utc(2107, 12, 31, 21, 59, 59));
        File("D:\\first of 2108", 0, sim::Utc(2107, 12, 31, 22, 0, 0));
        File("D:\\far", 0, sim::Utc(2150, 6, 30, 10, 20, 30));
        File("D:\\leap day", 0, sim::Utc(2112, 2, 29, 10, 0, 0));
        return ListDriveD();
    }

    static std::string Expected() {
        return LineOfD("\\", "midnight", "", "0", "05/17/2003") + LineOfD("\\", "one second", "", "0", "05/17/2003") +
               LineOfD("\\", "two seconds", "", "0", "05/17/2003 0:00") +
               LineOfD("\\", "morning", "", "0", "05/17/2003 9:05") +
               LineOfD("\\", "last of 1979", "", "0", "12/31/1979 23:59") +
               LineOfD("\\", "first of 1980", "", "0", "01/01/1980") +
               LineOfD("\\", "moon landing", "", "0", "07/20/1969 20:17") +
               LineOfD("\\", "last of 2107", "", "0", "12/31/2107 23:59") +
               LineOfD("\\", "first of 2108", "", "0", "01/01/2108") +
               LineOfD("\\", "far", "", "0", "06/30/2150 12:20") +
               LineOfD("\\", "leap day", "", "0", "02/29/2112 12:00");
    }
};

TEST_F(EntryTimeTest, LocalTimesInsideAndOutsideThePackedRange) { EXPECT_EQ(ListTimes(), Expected()); }

TEST_F(EntryTimeTest, YearsAfter2107AreRightWherePackingWrapsAsUnderWine) {
    sim::WrapDosYearsLikeWine(true);
    EXPECT_EQ(ListTimes(), Expected());
}

TEST_F(DirectoryWalkTest, TimeWithNoLocalFormIsWrittenAsItIs) {
    // West of UTC, the first instants of the FILETIME range have no local
    // time; the machine wraps them round 2^64 as Wine does, and a local time
    // more than a day from its UTC time counts as none.
    sim::SetTimeZoneOffsetMinutes(-120);
    File("D:\\zero", 0, 0);
    File("D:\\half past", 0, sim::Utc(1601, 1, 1, 0, 30, 0));
    File("D:\\two hours", 0, sim::Utc(1601, 1, 1, 2, 0, 0));
    File("D:\\next day", 0, sim::Utc(1601, 1, 2, 1, 0, 0));
    EXPECT_EQ(ListDriveD(), LineOfD("\\", "zero", "", "0", "01/01/1601") +
                                LineOfD("\\", "half past", "", "0", "01/01/1601 0:30") +
                                LineOfD("\\", "two hours", "", "0", "01/01/1601") +
                                LineOfD("\\", "next day", "", "0", "01/01/1601 23:00"));
}

TEST_F(DirectoryWalkTest, DateTimeTextFollowsTheLocale) {
    File("D:\\song.mp3", 1536, sim::Utc(2003, 5, 17, 9, 5, 10));
    sim::SetDateTimeLocale(".", "1", ":", "1");
    ReadDateTimeSettings();
    EXPECT_EQ(ListDriveD(), LineOfD("\\", "song.mp3", "mp3", "2", "17.05.2003 09:05"));
    sim::SetDateTimeLocale("-", "2", ".", "0");
    ReadDateTimeSettings();
    sim::PutFile(kListingFilePath, "");
    EXPECT_EQ(ListDriveD(), LineOfD("\\", "song.mp3", "mp3", "2", "2003-05-17 9.05"));
}

TEST(ReadDateTimeSettings, TakesTheLocalesFourValues) {
    sim::Reset();
    sim::SetDateTimeLocale(".", "1", ":", "1");
    ReadDateTimeSettings();
    EXPECT_EQ(ListingDateTime.dateSeparator, '.');
    EXPECT_EQ(ListingDateTime.dateOrder, 1);
    EXPECT_EQ(ListingDateTime.timeSeparator, ':');
    EXPECT_EQ(ListingDateTime.hourLeadingZero, 1);

    sim::SetDateTimeLocale("-", "2", ".", "0");
    ReadDateTimeSettings();
    EXPECT_EQ(ListingDateTime.dateSeparator, '-');
    EXPECT_EQ(ListingDateTime.dateOrder, 2);
    EXPECT_EQ(ListingDateTime.timeSeparator, '.');
    EXPECT_EQ(ListingDateTime.hourLeadingZero, 0);
}

TEST(ReadDateTimeSettings, SeparatorsOfOtherLengthsFallBack) {
    for (std::string_view odd : {"", "//", ". ", "::"}) {
        sim::Reset();
        sim::SetDateTimeLocale(odd, "1", odd, "1");
        ReadDateTimeSettings();
        EXPECT_EQ(ListingDateTime.dateSeparator, '/') << '"' << odd << '"';
        EXPECT_EQ(ListingDateTime.timeSeparator, ':') << '"' << odd << '"';
    }
}

TEST(ReadDateTimeSettings, NumbersThatCannotBeReadGiveZero) {
    for (std::string_view odd : {"", "x", "1a", " 1", "+", "-", "2147483648", "99999999999"}) {
        sim::Reset();
        sim::SetDateTimeLocale(".", odd, ":", odd);
        ReadDateTimeSettings();
        EXPECT_EQ(ListingDateTime.dateOrder, 0) << '"' << odd << '"';
        EXPECT_EQ(ListingDateTime.hourLeadingZero, 0) << '"' << odd << '"';
    }
    sim::Reset();
    sim::SetDateTimeLocale(".", "-1", ":", "12");
    ReadDateTimeSettings();
    EXPECT_EQ(ListingDateTime.dateOrder, -1);
    EXPECT_EQ(ListingDateTime.hourLeadingZero, 12);
    sim::SetDateTimeLocale(".", "-2147483647", ":", "2147483647");
    ReadDateTimeSettings();
    EXPECT_EQ(ListingDateTime.dateOrder, -2147483647);
    EXPECT_EQ(ListingDateTime.hourLeadingZero, 2147483647);
}

TEST(ReadDateTimeSettings, FailingLocaleCallsGiveTheDefaults) {
    sim::Reset();
    sim::SetDateTimeLocale(".", "1", ".", "1");
    for (uint32_t type : {0x1Du, 0x1Eu, 0x21u, 0x25u}) sim::RemoveLocaleValue(type);
    ReadDateTimeSettings();
    EXPECT_EQ(ListingDateTime.dateSeparator, '/');
    EXPECT_EQ(ListingDateTime.dateOrder, 0);
    EXPECT_EQ(ListingDateTime.timeSeparator, ':');
    EXPECT_EQ(ListingDateTime.hourLeadingZero, 0);
}

} // namespace
