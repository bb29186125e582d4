// The listing line byte for byte: fields, extension, size in kilobytes,
// date-time text and the quoting that keeps the columns in place.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/listing_line.h"

namespace {

const DateTimeSettings kUs{'/', 0, ':', 0};      // 05/17/2003 9:05
const DateTimeSettings kGerman{'.', 1, ':', 1};  // 17.05.2003 09:05

DateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return DateTime{year, month, day, hour, minute, second};
}

// song.mp3 of 1536 bytes in \Songs\Live\ of C:, labelled DATA, serial 1234ABCD, 17 May 2003 14:32:10.
ListingLineFields Song() {
    ListingLineFields fields;
    fields.drive = "C:";
    fields.label = "DATA";
    fields.serial = "1234ABCD";
    fields.directory = "\\Songs\\Live\\";
    fields.name = "song.mp3";
    fields.size = 1536;
    fields.when = At(2003, 5, 17, 14, 32, 10);
    return fields;
}

std::string Line(const ListingLineFields &fields, const DateTimeSettings &settings = kUs) {
    char buffer[kListingLineCapacity];
    int length = ComposeListingLine(buffer, fields, settings);
    return std::string(buffer, static_cast<size_t>(length));
}

std::string LineNamed(std::string_view name) {
    ListingLineFields fields = Song();
    fields.name = name;
    return Line(fields);
}

std::string SizeColumn(uint64_t size) {
    ListingLineFields fields = Song();
    fields.size = size;
    std::string line = Line(fields);
    size_t end = line.find(";kB;");
    size_t start = line.rfind(';', end - 1) + 1;
    return line.substr(start, end - start);
}

std::string DateColumn(const DateTime &when, const DateTimeSettings &settings) {
    ListingLineFields fields = Song();
    fields.when = when;
    std::string line = Line(fields, settings);
    return line.substr(line.find(";kB;") + 4);
}

TEST(ListingLine, SongInLiveOfDriveC) {
    EXPECT_EQ(Line(Song()), "C:;DATA;1234ABCD;\\Songs\\Live\\;song.mp3;mp3;2;kB;05/17/2003 14:32");
    EXPECT_EQ(Line(Song(), kGerman), "C:;DATA;1234ABCD;\\Songs\\Live\\;song.mp3;mp3;2;kB;17.05.2003 14:32");
}

TEST(ListingLine, RootDirectoryAndEmptyLabel) {
    ListingLineFields fields = Song();
    fields.label = "";
    fields.directory = "\\";
    EXPECT_EQ(Line(fields), "C:;;1234ABCD;\\;song.mp3;mp3;2;kB;05/17/2003 14:32");
}

TEST(ListingLine, ExtensionIsWhatFollowsTheLastDot) {
    EXPECT_EQ(FileExtension("archive.tar.gz"), "gz");
    EXPECT_EQ(FileExtension("README"), "");
    EXPECT_EQ(FileExtension(".profile"), "profile");
    EXPECT_EQ(FileExtension("notes."), "");
    EXPECT_EQ(FileExtension("a.b\\c"), "");
    EXPECT_EQ(FileExtension("a.b/c"), "");
    EXPECT_EQ(FileExtension("a.b:stream"), "");
    EXPECT_EQ(FileExtension("."), "");

    EXPECT_EQ(LineNamed("archive.tar.gz"), "C:;DATA;1234ABCD;\\Songs\\Live\\;archive.tar.gz;gz;2;kB;05/17/2003 14:32");
    EXPECT_EQ(LineNamed("README"), "C:;DATA;1234ABCD;\\Songs\\Live\\;README;;2;kB;05/17/2003 14:32");
    EXPECT_EQ(LineNamed(".profile"), "C:;DATA;1234ABCD;\\Songs\\Live\\;.profile;profile;2;kB;05/17/2003 14:32");
    EXPECT_EQ(LineNamed("notes."), "C:;DATA;1234ABCD;\\Songs\\Live\\;notes.;;2;kB;05/17/2003 14:32");
}

TEST(ListingLine, SizesAreKilobytesRoundedHalfToEven) {
    EXPECT_EQ(SizeColumn(0), "0");
    EXPECT_EQ(SizeColumn(511), "0");
    EXPECT_EQ(SizeColumn(512), "0");
    EXPECT_EQ(SizeColumn(513), "1");
    EXPECT_EQ(SizeColumn(1024), "1");
    EXPECT_EQ(SizeColumn(1536), "2");
    EXPECT_EQ(SizeColumn(2560), "2");
    EXPECT_EQ(SizeColumn(3584), "4");
    EXPECT_EQ(SizeColumn(2048 + 511), "2");
    EXPECT_EQ(SizeColumn(2048 + 513), "3");
}

TEST(ListingLine, LargeSizesAreNeitherNegativeNorWrapped) {
    EXPECT_EQ(SizeColumn(2ULL << 30), "2097152");
    EXPECT_EQ(SizeColumn((2ULL << 30) - 1), "2097152");
    EXPECT_EQ(SizeColumn(3ULL << 30), "3145728");
    EXPECT_EQ(SizeColumn(4ULL << 30), "4194304");
    EXPECT_EQ(SizeColumn(5ULL << 30), "5242880");
    EXPECT_EQ(SizeColumn((5ULL << 30) + 512), "5242880");
    EXPECT_EQ(SizeColumn((5ULL << 30) + 1536), "5242882");
    // Exact where floating point would not be: 2^53 + 1 kilobytes plus a half.
    EXPECT_EQ(SizeInKilobytes(((1ULL << 53) + 1) * 1024 + 512), (1ULL << 53) + 2);
    EXPECT_EQ(SizeColumn(UINT64_MAX), "18014398509481984");
}

TEST(ListingLine, DateOrders) {
    DateTime when = At(2003, 5, 17, 14, 32, 10);
    EXPECT_EQ(DateColumn(when, {'/', 0, ':', 0}), "05/17/2003 14:32");
    EXPECT_EQ(DateColumn(when, {'/', 1, ':', 0}), "17/05/2003 14:32");
    EXPECT_EQ(DateColumn(when, {'/', 2, ':', 0}), "2003/05/17 14:32");
    // Every other order is month, day, year.
    EXPECT_EQ(DateColumn(when, {'/', 3, ':', 0}), "05/17/2003 14:32");
    EXPECT_EQ(DateColumn(when, {'/', -1, ':', 0}), "05/17/2003 14:32");
}

TEST(ListingLine, SeparatorsAndHourLeadingZero) {
    DateTime morning = At(2003, 5, 17, 9, 5, 58);
    EXPECT_EQ(DateColumn(morning, {'/', 0, ':', 0}), "05/17/2003 9:05");
    EXPECT_EQ(DateColumn(morning, {'.', 1, ':', 1}), "17.05.2003 09:05");
    EXPECT_EQ(DateColumn(morning, {'-', 2, '.', 1}), "2003-05-17 09.05");
    EXPECT_EQ(DateColumn(At(2003, 5, 17, 0, 1), {'/', 0, ':', 0}), "05/17/2003 0:01");
    EXPECT_EQ(DateColumn(At(2003, 5, 17, 0, 1), {'/', 0, ':', 1}), "05/17/2003 00:01");
    EXPECT_EQ(DateColumn(At(2003, 5, 17, 23, 59, 58), {'/', 0, ':', 0}), "05/17/2003 23:59");
}

TEST(ListingLine, EveryHourOfTheDayWithAndWithoutTheLeadingZero) {
    struct Row {
        int hour;
        const char *without; // hour leading zero 0
        const char *with;    // hour leading zero 1
    };
    const Row rows[] = {
        {0, "0:07", "00:07"},   {1, "1:07", "01:07"},   {2, "2:07", "02:07"},   {3, "3:07", "03:07"},
        {4, "4:07", "04:07"},   {5, "5:07", "05:07"},   {6, "6:07", "06:07"},   {7, "7:07", "07:07"},
        {8, "8:07", "08:07"},   {9, "9:07", "09:07"},   {10, "10:07", "10:07"}, {11, "11:07", "11:07"},
        {12, "12:07", "12:07"}, {13, "13:07", "13:07"}, {14, "14:07", "14:07"}, {15, "15:07", "15:07"},
        {16, "16:07", "16:07"}, {17, "17:07", "17:07"}, {18, "18:07", "18:07"}, {19, "19:07", "19:07"},
        {20, "20:07", "20:07"}, {21, "21:07", "21:07"}, {22, "22:07", "22:07"}, {23, "23:07", "23:07"},
    };
    for (const Row &row : rows) {
        DateTime when = At(2003, 5, 17, row.hour, 7, 30);
        EXPECT_EQ(DateColumn(when, {'/', 0, ':', 0}), std::string("05/17/2003 ") + row.without) << row.hour;
        EXPECT_EQ(DateColumn(when, {'/', 0, ':', 1}), std::string("05/17/2003 ") + row.with) << row.hour;
    }
}

TEST(ListingLine, MidnightCarriesTheDateAlone) {
    EXPECT_EQ(DateColumn(At(2003, 5, 17, 0, 0, 0), kGerman), "17.05.2003");
    // Seconds come in steps of two: 00:00:01 is midnight.
    EXPECT_EQ(DateColumn(At(2003, 5, 17, 0, 0, 1), kGerman), "17.05.2003");
    EXPECT_EQ(DateColumn(At(2003, 5, 17, 0, 0, 2), kGerman), "17.05.2003 00:00");
    EXPECT_EQ(Line([] { ListingLineFields f = Song(); f.when = At(2003, 5, 17); return f; }()),
              "C:;DATA;1234ABCD;\\Songs\\Live\\;song.mp3;mp3;2;kB;05/17/2003");
}

TEST(ListingLine, YearsOutsideThePackedRangeKeepFourDigits) {
    EXPECT_EQ(DateColumn(At(1975, 3, 4, 5, 6), kGerman), "04.03.1975 05:06");
    EXPECT_EQ(DateColumn(At(2150, 12, 31, 23, 59), kGerman), "31.12.2150 23:59");
    EXPECT_EQ(DateColumn(At(1601, 1, 1), kUs), "01/01/1601");
}

TEST(ListingLine, FieldsWithSemicolonsOrQuotesAreQuoted) {
    EXPECT_EQ(LineNamed("a;b.txt"), "C:;DATA;1234ABCD;\\Songs\\Live\\;\"a;b.txt\";txt;2;kB;05/17/2003 14:32");
    EXPECT_EQ(LineNamed("say \"hi\".txt"),
              "C:;DATA;1234ABCD;\\Songs\\Live\\;\"say \"\"hi\"\".txt\";txt;2;kB;05/17/2003 14:32");
    // The extension is a field of its own and is quoted on its own.
    EXPECT_EQ(LineNamed("x.a;b"), "C:;DATA;1234ABCD;\\Songs\\Live\\;\"x.a;b\";\"a;b\";2;kB;05/17/2003 14:32");
    EXPECT_EQ(LineNamed("x.\""), "C:;DATA;1234ABCD;\\Songs\\Live\\;\"x.\"\"\";\"\"\"\";2;kB;05/17/2003 14:32");

    ListingLineFields fields = Song();
    fields.directory = "\\Rock;Pop\\";
    EXPECT_EQ(Line(fields), "C:;DATA;1234ABCD;\"\\Rock;Pop\\\";song.mp3;mp3;2;kB;05/17/2003 14:32");
    fields = Song();
    fields.directory = "\\\"Best\"\\";
    EXPECT_EQ(Line(fields), "C:;DATA;1234ABCD;\"\\\"\"Best\"\"\\\";song.mp3;mp3;2;kB;05/17/2003 14:32");
    fields = Song();
    fields.label = "MY;DISK";
    EXPECT_EQ(Line(fields), "C:;\"MY;DISK\";1234ABCD;\\Songs\\Live\\;song.mp3;mp3;2;kB;05/17/2003 14:32");
    fields.label = "\"";
    EXPECT_EQ(Line(fields), "C:;\"\"\"\";1234ABCD;\\Songs\\Live\\;song.mp3;mp3;2;kB;05/17/2003 14:32");
}

TEST(ListingLine, LineBreaksInFieldsAreQuotedSoTheLineStaysOne) {
    // Unix file systems let names hold them, and Wine passes them through.
    EXPECT_EQ(LineNamed("new\nline.txt"),
              "C:;DATA;1234ABCD;\\Songs\\Live\\;\"new\nline.txt\";txt;2;kB;05/17/2003 14:32");
    EXPECT_EQ(LineNamed("car\rret"), "C:;DATA;1234ABCD;\\Songs\\Live\\;\"car\rret\";;2;kB;05/17/2003 14:32");
    ListingLineFields fields = Song();
    fields.directory = "\\a\r\n\\";
    EXPECT_EQ(Line(fields), "C:;DATA;1234ABCD;\"\\a\r\n\\\";song.mp3;mp3;2;kB;05/17/2003 14:32");
}

TEST(ListingLine, ALocaleSeparatorThatWouldShiftTheColumnsIsQuoted) {
    EXPECT_EQ(DateColumn(At(2003, 5, 17, 14, 32), DateTimeSettings{';', 1, ':', 1}), "\"17;05;2003 14:32\"");
    EXPECT_EQ(DateColumn(At(2003, 5, 17, 14, 32), DateTimeSettings{'.', 1, '"', 1}), "\"17.05.2003 14\"\"32\"");
}

TEST(ListingLine, EmptyFieldsStayEmpty) {
    ListingLineFields fields = Song();
    fields.label = {};
    fields.serial = {};
    fields.name = {};
    EXPECT_EQ(Line(fields), "C:;;;\\Songs\\Live\\;;;2;kB;05/17/2003 14:32");
}

TEST(ListingLine, OtherPunctuationIsNotQuoted) {
    EXPECT_EQ(LineNamed("it's, (1) & 'more'.txt"),
              "C:;DATA;1234ABCD;\\Songs\\Live\\;it's, (1) & 'more'.txt;txt;2;kB;05/17/2003 14:32");
}

TEST(ListingLine, LongestFieldsAllQuotedFitTheBuffer) {
    std::string quotes255(255, '"');
    std::string quotes259(259, '"');
    ListingLineFields fields;
    fields.drive = "Z:";
    fields.label = quotes255;
    fields.serial = quotes255;
    fields.directory = quotes255;
    fields.name = quotes259;
    fields.size = UINT64_MAX;
    fields.when = At(2003, 5, 17, 14, 32);
    std::string line = Line(fields);
    std::string q255 = "\"" + std::string(510, '"') + "\"";
    std::string q259 = "\"" + std::string(518, '"') + "\"";
    EXPECT_EQ(line, "Z:;" + q255 + ";" + q255 + ";" + q255 + ";" + q259 + ";;18014398509481984;kB;05/17/2003 14:32");
}

} // namespace
