// tgm-cli pdf, dump --crc and convert through CSV, as a user runs them.
#include "testing/files.h"
#include "testing/pdf_reader.h"
#include "testing/run_program.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>
#include <iterator>
#include <regex>
#include <sstream>
#include <vector>

using namespace tgm::test;

namespace {

std::string example(const std::string& name) { return examples_dir() + "/" + name; }

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> pages_of(const std::string& text) {
    std::vector<std::string> pages;
    std::size_t start = 0;
    for (std::size_t ff; (ff = text.find('\f', start)) != std::string::npos; start = ff + 1)
        pages.push_back(text.substr(start, ff - start));
    return pages;
}

} // namespace

TEST(CliPdf, EveryTableGetsItsSheetsWithTheCrcThatDumpPrints) {
    TempDir dir;
    const std::string pdf = dir.file("farm.pdf");
    const auto r = run_program("tgm-cli", {"pdf", example("tank_farm.fs"), pdf});
    if (r.err.find("no Qt") != std::string::npos)
        GTEST_SKIP() << r.err;
    ASSERT_EQ(r.exit_code, 0) << r.err;

    const auto crcs =
        lines_of(run_program("tgm-cli", {"dump", "--crc", example("tank_farm.fs")}).out);
    const auto dumps = lines_of(run_program("tgm-cli", {"dump", example("tank_farm.fs")}).out);
    const auto infos = lines_of(run_program("tgm-cli", {"info", example("tank_farm.fs")}).out);
    ASSERT_EQ(crcs.size(), 16u);
    const std::vector<std::string> pages = pages_of(pdf_text(pdf));
    ASSERT_EQ(static_cast<int>(pages.size()), pdf_pages(pdf));

    std::size_t first = 0;
    for (std::size_t k = 0; k < 16; ++k) {
        const std::string channel = std::to_string(k + 1);
        const std::string crc = crcs[k].substr(crcs[k].find(' ') + 1);
        ASSERT_EQ(crc.size(), 8u) << crcs[k];
        // The points: "N: v0 v1 ..."; the sheets: the first page, then 250 points to a page.
        std::istringstream values(dumps[k].substr(dumps[k].find(' ') + 1));
        std::vector<std::string> litres{std::istream_iterator<std::string>(values), {}};
        const std::size_t sheets = 1 + (litres.size() + 249) / 250;
        ASSERT_LE(first + sheets, pages.size());
        const std::string& head = pages[first];
        const std::string header = infos[k].substr(infos[k].rfind('\t') + 1);
        EXPECT_NE(head.find(header), std::string::npos) << channel;
        EXPECT_TRUE(std::regex_search(head, std::regex("Канал +" + channel + "\n"))) << channel;
        EXPECT_TRUE(std::regex_search(head, std::regex("CRC-32 +" + crc))) << channel;
        EXPECT_NE(head.find("Лист 1 из " + std::to_string(sheets)), std::string::npos) << channel;
        const std::string& last = pages[first + sheets - 1];
        EXPECT_NE(last.find("Лист " + std::to_string(sheets) + " из " + std::to_string(sheets)),
                  std::string::npos)
            << channel;
        EXPECT_NE(last.find("Уровень, см"), std::string::npos);
        EXPECT_NE(last.find("Объём, л"), std::string::npos);
        EXPECT_NE(last.find("CRC-32 " + crc), std::string::npos) << channel;
        EXPECT_NE(last.find("Проверил"), std::string::npos) << channel;
        const std::string last_row =
            "\\b" + std::to_string(litres.size() - 1) + " +" + litres.back() + "\\b";
        EXPECT_TRUE(std::regex_search(last, std::regex(last_row))) << channel << ": " << last_row;
        first += sheets;
    }
    EXPECT_EQ(first, pages.size());
}

TEST(CliPdf, ATableThatDoesNotConvertIsRefusedAndNothingIsWritten) {
    TempDir dir;
    write_file(dir.file("bad.fs"), "# a\r\n| 0 10 20\r\n# b\r\n| 0 - 20\r\n");
    const auto r = run_program("tgm-cli", {"pdf", dir.file("bad.fs"), dir.file("bad.pdf")});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.err, "Канал 2: таблица не преобразуется (Контроль \"-\")\n");
    EXPECT_FALSE(file_exists(dir.file("bad.pdf")));
}

TEST(CliConvert, ThroughCsvAndBackEveryByteOfTheFarmComesBack) {
    TempDir dir;
    auto r = run_program("tgm-cli", {"convert", example("tank_farm.fs"), dir.file("farm.CSV")});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(read_file(dir.file("farm.CSV")).substr(0, 3), "\xEF\xBB\xBF");
    r = run_program("tgm-cli", {"convert", dir.file("farm.CSV"), dir.file("farm.fs")});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(read_file(dir.file("farm.fs")), read_file(example("tank_farm.fs")));
    EXPECT_EQ(run_program("tgm-cli", {"dump", "--crc", dir.file("farm.CSV")}).out,
              run_program("tgm-cli", {"dump", "--crc", example("tank_farm.fs")}).out);
}
