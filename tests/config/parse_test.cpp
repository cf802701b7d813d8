// Option-information and job-accounting parsers, through the exported API.
// Blocks are built by element_builder.h; every block handed to a parser sits
// in a buffer of exactly its L + 2 bytes, so a read past the block is caught
// by the address sanitizer, and a failure path that leaks is caught by the
// leak checker at exit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "config/element_builder.h"
#include "kxapi.h"
#include "common/test_support.h"

namespace {

using namespace kxtest::elements;

const std::string kLayout = "P{ID:1,DT:1}C{NE:2,LD:2}D{LD:2,DA:0}";

struct OptionInfoPtr {
    KxOptionInfo *p;
    explicit OptionInfoPtr(const Bytes &block) : p(KxParseOptionInfo(block.data())) {}
    ~OptionInfoPtr() { KxFreeOptionInfo(p); }
};
struct JobAccountPtr {
    KxJobAccount *p;
    explicit JobAccountPtr(const Bytes &block) : p(KxParseJobAccountingAlert(block.data())) {}
    ~JobAccountPtr() { KxFreeJobAccount(p); }
};

// The block cut to its first size bytes, with L saying so.
Bytes truncated(const Bytes &block, std::size_t size)
{
    Bytes b(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(size));
    std::size_t l = size - 2;
    b[0] = std::uint8_t(l >> 8);
    b[1] = std::uint8_t(l);
    return b;
}

TEST(ElementBuilder, EncodesTheDocumentedIntegerElement)
{
    // Tag ID:1,DT:1, data LD:2,DA:0: element 5 holding 0x0102.
    EXPECT_EQ(Builder(kLayout).encode(I(5, 0x0102, 2)), (Bytes{0x05, 0x01, 0x00, 0x02, 0x01, 0x02}));
}

// One option-information tree, parsed under layouts that order and size the
// fields differently and add fields the parser must step over.
std::vector<Node> option_tree()
{
    return {C(1, {
                     C(9, {I(1, 7), C(2, {T(1, "deeper")})}),  // not an options or groups list
                     C(1, {
                              // Options are taken by position, whatever their numbers.
                              C(4, {I(1, 17), T(2, "skipped"), I(5, -2), T(6, "Duplex")}),
                              C(4, {T(6, ""), I(1, 0x1234, 2)}),
                              C(9, {I(5, 0xAB, 1), C(6, {T(1, "not text")})}),
                          }),
                     I(2, 99),
                     C(3, {
                              C(1, {T(1, "Finishing"), T(2, "Staple"),
                                    C(3, {C(1, {I(1, 10)}), C(2, {T(4, "x"), I(1, 20, 2)}), C(3, {I(1, 30, 1)})})}),
                              C(2, {T(1, ""), C(3, {})}),
                          }),
                 }),
            I(2, 5)};  // after the one top-level element: not read
}

void expect_option_tree(const KxOptionInfo *info)
{
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(+info->nOptions, 3);
    const KxOptionEntry *o = info->pOptions;
    EXPECT_EQ(+o[0].nValue1, 17);
    EXPECT_EQ(+o[0].nValue5, -2);
    EXPECT_STREQ(o[0].pszText, "Duplex");
    EXPECT_EQ(+o[1].nValue1, 0x1234);
    EXPECT_EQ(+o[1].nValue5, 0);
    ASSERT_NE(+o[1].pszText, nullptr);  // an empty text is kept as ""
    EXPECT_STREQ(o[1].pszText, "");
    EXPECT_EQ(+o[2].nValue1, 0);
    EXPECT_EQ(+o[2].nValue5, 0xAB);
    EXPECT_STREQ(o[2].pszText, "");  // a container where text stands gives an empty text

    ASSERT_EQ(+info->nGroups, 2);
    const KxOptionGroup *g = info->pGroups;
    EXPECT_STREQ(g[0].pszText1, "Finishing");
    EXPECT_STREQ(g[0].pszText2, "Staple");
    ASSERT_EQ(+g[0].nValues, 3);
    EXPECT_EQ(+g[0].pnValues[0], 10);
    EXPECT_EQ(+g[0].pnValues[1], 20);
    EXPECT_EQ(+g[0].pnValues[2], 30);
    EXPECT_EQ(+g[1].pszText1, nullptr);  // empty: stays null
    EXPECT_EQ(+g[1].pszText2, nullptr);  // absent
    EXPECT_EQ(+g[1].nValues, 0);
    EXPECT_EQ(+g[1].pnValues, nullptr);
}

class OptionLayouts : public testing::TestWithParam<const char *> {};

TEST_P(OptionLayouts, FillsOptionsAndGroups)
{
    Bytes block = Builder(GetParam()).block(option_tree());
    OptionInfoPtr info(block);
    expect_option_tree(info.p);
}

INSTANTIATE_TEST_SUITE_P(Parse, OptionLayouts,
                         testing::Values("P{ID:1,DT:1}C{NE:2,LD:2}D{LD:2,DA:0}",
                                         // Other fields stepped over by their sizes, 2- and 4-byte numbers.
                                         "T{SE:3,ID:2,DT:4}C{TL:1,NE:4,LD:4,BF:2}D{DL:5,LD:1,DA:7,VN:2}",
                                         // Fields in another order; DA's own size is not used.
                                         "P{DT:1,ID:1}C{LD:2,NE:1}D{LD:4,DA:9,DD:1}"));

TEST(OptionInfo, NoOptionListGivesZeroCountsAndNullArrays)
{
    const std::vector<std::vector<Node>> cases = {
        {C(2, {C(1, {C(1, {I(1, 3)})})})},  // the only top-level element is number 2
        {I(1, 1)},                          // number 1, but not a container
        {C(1, {C(5, {I(1, 1)})})},          // container 1 without lists 1 and 3
    };
    for (const auto &tree : cases) {
        Bytes block = Builder(kLayout).block(tree);
        OptionInfoPtr info(block);
        ASSERT_NE(info.p, nullptr);
        EXPECT_EQ(+info.p->nOptions, 0);
        EXPECT_EQ(+info.p->pOptions, nullptr);
        EXPECT_EQ(+info.p->nGroups, 0);
        EXPECT_EQ(+info.p->pGroups, nullptr);
    }
}

TEST(OptionInfo, LaterListReplacesEarlier)
{
    Bytes block = Builder(kLayout).block({C(1, {C(1, {C(1, {T(6, "first")}), C(1, {T(6, "second")})}),
                                                C(1, {C(1, {T(6, "third"), T(6, "fourth")})})})});
    OptionInfoPtr info(block);
    ASSERT_NE(info.p, nullptr);
    ASSERT_EQ(+info.p->nOptions, 1);
    EXPECT_STREQ(info.p->pOptions[0].pszText, "fourth");
}

TEST(Parse, InvalidHeadersGiveNull)
{
    Bytes stream = Builder(kLayout).encode(C(1, {C(1, {C(1, {I(1, 1)})})}));
    const std::vector<std::string> layouts = {
        "P{ID:1,XX:1}C{NE:2,LD:2}D{LD:2,DA:0}",  // name not in the dictionary
        "P{id:1,DT:1}C{NE:2,LD:2}D{LD:2,DA:0}",  // names are matched as written
        "P{ID:1,DT:1}C{NE:2,LD:2}D{LD:2, DA:0}", // an item starting with a blank
        "P{ID:1,DT:1}C{NE:2,LD:2}D{LD:2,DA:0",   // third group without "}"
        "P",                                       // header cut short
    };
    for (const auto &layout : layouts) {
        Bytes block = Builder::raw_block(layout, layout.size() > 1 ? stream : Bytes{});
        EXPECT_EQ(KxParseOptionInfo(block.data()), nullptr) << layout;
        EXPECT_EQ(KxParseJobAccountingAlert(block.data()), nullptr) << layout;
    }
    for (std::size_t size : {2u, 3u, 4u, 5u}) {  // L of 0 to 3: no room for a header
        Bytes block = truncated(Builder(kLayout).block({}), size);
        EXPECT_EQ(KxParseOptionInfo(block.data()), nullptr) << size;
        EXPECT_EQ(KxParseJobAccountingAlert(block.data()), nullptr) << size;
    }
}

TEST(Parse, EmptyGroupsAndATrailingCommaAreAccepted)
{
    // An empty data layout: integer and text elements end with their tag fields.
    // Top container 1, options list 1, one option, its element 1 (integer, no value).
    Bytes block = Builder::raw_block("P{ID:1,DT:1,}C{NE:1}D{}", {1, 0, 1, 1, 0, 1, 1, 0, 1, 1, 1});
    OptionInfoPtr info(block);
    ASSERT_NE(info.p, nullptr);
    ASSERT_EQ(+info.p->nOptions, 1);
    EXPECT_EQ(+info.p->pOptions[0].nValue1, 0);
}

TEST(OptionInfo, EveryTruncationGivesNull)
{
    Builder b("T{SE:3,ID:2,DT:4}C{TL:1,NE:4,LD:4,BF:2}D{DL:5,LD:1,DA:7,VN:2}");
    Bytes full = b.block(option_tree());
    // Up to the end of the one top-level element (the element after it is not read).
    std::size_t end = full.size() - b.encode(I(2, 5)).size();
    for (std::size_t size = 2; size < end; ++size) {
        Bytes block = truncated(full, size);
        KxOptionInfo *info = KxParseOptionInfo(block.data());
        EXPECT_EQ(info, nullptr) << "block cut to " << size << " bytes";
        KxFreeOptionInfo(info);
    }
}

// Streams that break the layout's promises: each gives null, without reading
// outside the block or leaving memory behind. Most faults sit where both
// parsers read; a few only on one parser's path.
TEST(Parse, BrokenStreamsGiveNull)
{
    const std::string k4 = "P{ID:1,DT:1}C{NE:4,LD:2}D{LD:2,DA:0}";
    auto top_count = C(1, {C(1, {})});
    top_count.count = 60000;  // 60,000 children in a block of a few dozen bytes
    auto list_count = C(1, {C(1, {I(1, 1)})});
    list_count.kids[0].count = 0xFFFFFFFF;  // the option list (a stepped-over list for job data)
    auto group_count = C(1, {C(3, {C(1, {})})});
    group_count.kids[0].count = 0xFFFFFFFF;  // the group list (the alert for job data)
    auto part_count = C(1, {C(3, {C(1, {C(3, {C(1, {I(1, 1)})})})})});
    part_count.kids[0].kids[0].count = 0xFFFFFFFF;  // a group / the alert's part 1
    auto value_count = part_count;
    value_count.kids[0].kids[0].count.reset();
    value_count.kids[0].kids[0].kids[0].count = 0x10000;  // a group's values
    auto skip_length = C(1, {C(9, {I(1, 1)}), C(1, {})});
    skip_length.kids[0].length = 5000;  // stepping over it leaves the block
    auto top_value = I(7, 1);
    top_value.length = 900;  // a stepped-over top-level value past the end
    auto option_text = C(1, {C(1, {C(1, {T(6, "abc")})})});
    option_text.kids[0].kids[0].kids[0].length = 4;  // one byte more than there is
    auto job_text = C(1, {C(2, {C(1, {T(7, "abc")})})});
    job_text.kids[0].kids[0].kids[0].length = 4;

    struct Case {
        const char *what;
        std::string layout;
        Node tree;
        bool options, jobs;  // which parsers meet the fault
    };
    const std::vector<Case> cases = {
        {"top-level child count", kLayout, top_count, true, true},
        {"option list child count", k4, list_count, true, true},
        {"group list child count", k4, group_count, true, true},
        {"part child count", k4, part_count, true, true},
        {"value child count", k4, value_count, true, false},
        {"container length", kLayout, skip_length, true, true},
        {"top-level value length", kLayout, top_value, true, true},
        {"option text length", kLayout, option_text, true, false},
        {"job text length", kLayout, job_text, false, true},
        {"3-byte ID", "P{ID:3,DT:1}C{NE:2,LD:2}D{LD:2,DA:0}", C(1, {C(1, {})}), true, true},
        {"8-byte DT", "P{ID:1,DT:8}C{NE:2,LD:2}D{LD:2,DA:0}", C(1, {C(1, {})}), true, true},
        {"0-byte NE", "P{ID:1,DT:1}C{NE:0,LD:2}D{LD:2,DA:0}", C(1, {C(1, {})}), true, true},
        {"3-byte container LD", "P{ID:1,DT:1}C{NE:2,LD:3}D{LD:2,DA:0}", C(1, {C(9, {})}), true, true},
        {"0-byte data LD", "P{ID:1,DT:1}C{NE:2,LD:2}D{LD:0,DA:0}", I(3, 1), true, true},
    };
    for (const auto &c : cases) {
        Bytes block = Builder(c.layout).block({c.tree});
        if (c.options) {
            EXPECT_EQ(KxParseOptionInfo(block.data()), nullptr) << c.what;
        }
        if (c.jobs) {
            EXPECT_EQ(KxParseJobAccountingAlert(block.data()), nullptr) << c.what;
        }
    }
}

TEST(Parse, DeepNestingIsSteppedOverWithoutDescending)
{
    // 3,000 nested containers under an element no level handles, and under
    // an option's text element: both are stepped over by their lengths.
    Node deep = C(1, {});
    for (int i = 0; i < 3000; ++i) {
        Node outer = C(1, {});
        outer.kids.push_back(std::move(deep));
        deep = std::move(outer);
    }
    Node nested_text = deep;
    nested_text.id = 6;
    Node unhandled = deep;
    unhandled.id = 9;
    Bytes block = Builder(kLayout).block({C(1, {unhandled, C(1, {C(1, {I(1, 4), nested_text})})})});
    ASSERT_LT(block.size(), 65537u);
    OptionInfoPtr info(block);
    ASSERT_NE(info.p, nullptr);
    ASSERT_EQ(+info.p->nOptions, 1);
    EXPECT_EQ(+info.p->pOptions[0].nValue1, 4);
    EXPECT_STREQ(info.p->pOptions[0].pszText, "");

    Bytes jobs = Builder(kLayout).block({C(1, {unhandled, C(1, {deep}), C(2, {C(1, {deep, I(1, 8)})})})});
    JobAccountPtr account(jobs);
    ASSERT_NE(account.p, nullptr);
    ASSERT_NE(+account.p->pJob, nullptr);
    EXPECT_EQ(+account.p->pJob->n1_1, 8);
}

// ---- job accounting ----

void put_i32(Bytes &image, std::size_t off, std::int32_t v)
{
    auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) image[off + i] = std::uint8_t(u >> (8 * i));
}
void put_text(Bytes &image, std::size_t off, const std::string &s) { std::memcpy(&image[off], s.data(), s.size()); }

const std::string k30 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";  // 30 characters
const std::string k41 = "The quick brown fox jumps over a lazy dog!";

TEST(JobAccounting, FillsJobAndAlertRecords)
{
    Node job1 = C(1, {I(1, 0x01020304), I(2, -2), I(3, 0xFE, 1), I(4, 0xBEEF, 2), I(5, 0x010203, 3),
                      T(6, "text, not a number"), T(7, k30), I(8, 8), I(9, 9), I(10, 10),
                      T(11, "fifteen chars!!"), I(12, 12), T(13, "unused")});
    Node job2 = C(2, {T(1, k41), T(2, "alice"), I(3, 3), I(4, 4), I(5, 5), I(6, 6), I(7, 7), I(8, 8), I(9, 9),
                      I(10, 0x7FFFFFFF), C(11, {I(1, 1)})});
    Node alert1 = C(1, {I(1, 101), I(2, 102)});
    Node alert2 = C(2, {I(1, 201), I(2, 202), I(3, 203), I(4, 204), I(5, 205), T(6, "Paper jam in tray 2"),
                        I(7, 207), T(8, "ABC")});
    Node alert3 = C(3, {I(5, 305), I(4, 304), I(3, 303), I(2, 302), I(1, 301)});
    std::vector<Node> tree = {
        I(5, 1),                                                     // top-level elements other than 1 are skipped
        C(1, {C(1, {I(1, 2), C(2, {T(1, "x")})}),                    // its children are all stepped over
              C(2, {job1, C(7, {I(1, 1)}), job2}), C(3, {alert1, alert2, alert3})}),
        C(4, {I(1, 1)}),
    };
    for (const char *layout : {"P{ID:1,DT:1}C{NE:2,LD:2}D{LD:2,DA:0}", "T{SE:3,ID:2,DT:4}C{TL:1,NE:4,LD:4,BF:2}D{DL:5,LD:1,DA:7,VN:2}"}) {
        Bytes block = Builder(layout).block(tree);
        JobAccountPtr account(block);
        ASSERT_NE(account.p, nullptr) << layout;
        ASSERT_NE(+account.p->pJob, nullptr);
        ASSERT_NE(+account.p->pAlert, nullptr);

        Bytes job(173, 0);
        put_i32(job, 0, 0x01020304);
        put_i32(job, 4, -2);
        put_i32(job, 8, 0xFE);
        put_i32(job, 12, 0xBEEF);
        // 16: a 3-byte integer and 20: a text element read as an integer give 0.
        put_text(job, 24, k30.substr(0, 9));
        put_i32(job, 34, 8);
        put_i32(job, 38, 9);
        put_i32(job, 42, 10);
        put_text(job, 46, "fifteen chars!!");
        put_text(job, 62, k41.substr(0, 40));
        put_text(job, 103, "alice");
        // 124: an integer element where text stands gives an empty text.
        for (int n = 4; n <= 9; ++n) put_i32(job, 145 + 4 * (n - 4), n);
        put_i32(job, 169, 0x7FFFFFFF);
        EXPECT_EQ(kxtest::hex(Bytes(reinterpret_cast<const std::uint8_t *>(account.p->pJob),
                                    reinterpret_cast<const std::uint8_t *>(account.p->pJob) + 173)),
                  kxtest::hex(job));
        EXPECT_STREQ(account.p->pJob->sz1_7, "ABCDEFGHI");

        Bytes alert(74, 0);
        put_i32(alert, 0, 101);
        for (int n = 1; n <= 5; ++n) put_i32(alert, 4 * n, 200 + n);
        put_text(alert, 24, "Paper jam in tr");
        put_i32(alert, 40, 207);
        put_text(alert, 44, "ABC");
        for (int n = 1; n <= 5; ++n) put_i32(alert, 54 + 4 * (n - 1), 300 + n);
        EXPECT_EQ(kxtest::hex(Bytes(reinterpret_cast<const std::uint8_t *>(account.p->pAlert),
                                    reinterpret_cast<const std::uint8_t *>(account.p->pAlert) + 74)),
                  kxtest::hex(alert));
    }
}

TEST(JobAccounting, LaterRecordsReplaceEarlierAndAbsentOnesStayNull)
{
    Builder b(kLayout);
    Bytes block = b.block({C(1, {C(2, {C(1, {I(1, 1), I(2, 2), T(7, "first")})})}),
                           C(1, {C(2, {C(1, {I(1, 3), T(7, "long second text")}), C(2, {T(1, "x")})}),
                                 C(2, {C(1, {I(2, 4)})})})});
    JobAccountPtr account(block);
    ASSERT_NE(account.p, nullptr);
    ASSERT_NE(+account.p->pJob, nullptr);
    EXPECT_EQ(+account.p->pAlert, nullptr);
    EXPECT_EQ(+account.p->pJob->n1_1, 0);  // the last job element starts from a zeroed record
    EXPECT_EQ(+account.p->pJob->n1_2, 4);
    EXPECT_STREQ(account.p->pJob->sz1_7, "");
    EXPECT_STREQ(account.p->pJob->sz2_1, "");

    // A text written twice: the shorter one leaves nothing of the longer behind.
    Bytes twice = b.block({C(1, {C(2, {C(1, {T(7, "long text"), T(7, "ab")})})})});
    JobAccountPtr t(twice);
    ASSERT_NE(t.p, nullptr);
    EXPECT_EQ(std::string(t.p->pJob->sz1_7, 10), std::string("ab\0\0\0\0\0\0\0\0", 10));

    Bytes none = b.block({C(1, {C(1, {})}), C(3, {})});
    JobAccountPtr empty(none);
    ASSERT_NE(empty.p, nullptr);
    EXPECT_EQ(+empty.p->pJob, nullptr);
    EXPECT_EQ(+empty.p->pAlert, nullptr);
}

TEST(JobAccounting, TruncationInsideAnElementGivesNull)
{
    Builder b(kLayout);
    Bytes full = b.block({C(1, {C(2, {C(1, {I(1, 1), T(7, "abc")})}), C(3, {C(2, {I(1, 2)})})})});
    std::size_t stream_start = full.size() - b.encode(C(1, {C(2, {C(1, {I(1, 1), T(7, "abc")})}), C(3, {C(2, {I(1, 2)})})})).size();
    for (std::size_t size = 2; size < full.size(); ++size) {
        Bytes block = truncated(full, size);
        KxJobAccount *account = KxParseJobAccountingAlert(block.data());
        if (size == stream_start) {
            // Cut right after the header: no elements, nothing found.
            ASSERT_NE(account, nullptr);
            EXPECT_EQ(+account->pJob, nullptr);
            EXPECT_EQ(+account->pAlert, nullptr);
        } else {
            EXPECT_EQ(account, nullptr) << "block cut to " << size << " bytes";
        }
        KxFreeJobAccount(account);
    }
}

TEST(JobAccounting, ElementsOfNoBytesGiveNullInsteadOfLoopingForever)
{
    // No tag or container fields: every element is an empty container 0.
    Bytes block = Builder::raw_block("P{}C{}D{}", {0x01, 0x02, 0x03});
    EXPECT_EQ(KxParseJobAccountingAlert(block.data()), nullptr);
}

TEST(Parse, NullBlocksAndNullReleases)
{
    EXPECT_EQ(KxParseOptionInfo(nullptr), nullptr);
    EXPECT_EQ(KxParseJobAccountingAlert(nullptr), nullptr);
    KxFreeOptionInfo(nullptr);
    KxFreeJobAccount(nullptr);
}

} // namespace

namespace {

TEST(ParseFixtures, CommittedBlocksGiveTheirRecords)
{
    Bytes options = kxtest::read_bytes(kxtest::data_path("parse/options.bin"));
    ASSERT_FALSE(options.empty());
    OptionInfoPtr info(options);
    ASSERT_NE(info.p, nullptr);
    ASSERT_EQ(+info.p->nOptions, 3);
    EXPECT_EQ(+info.p->pOptions[1].nValue1, 102);
    EXPECT_STREQ(info.p->pOptions[1].pszText, "Hole punch");
    ASSERT_EQ(+info.p->nGroups, 2);
    EXPECT_STREQ(info.p->pGroups[1].pszText1, "Output");
    EXPECT_EQ(+info.p->pGroups[1].pszText2, nullptr);
    ASSERT_EQ(+info.p->pGroups[1].nValues, 1);
    EXPECT_EQ(+info.p->pGroups[1].pnValues[0], 4);

    Bytes jobs = kxtest::read_bytes(kxtest::data_path("parse/jobaccount.bin"));
    ASSERT_FALSE(jobs.empty());
    JobAccountPtr account(jobs);
    ASSERT_NE(account.p, nullptr);
    ASSERT_NE(+account.p->pJob, nullptr);
    ASSERT_NE(+account.p->pAlert, nullptr);
    EXPECT_EQ(+account.p->pJob->n1_1, 123);
    EXPECT_STREQ(account.p->pJob->sz2_1, "Quarterly report.pdf");
    EXPECT_EQ(+account.p->pJob->n2_10, 3);
    EXPECT_STREQ(account.p->pAlert->sz2_6, "Paper jam");
    EXPECT_EQ(+account.p->pAlert->n3_4, 9);
}

} // namespace
