// The strain assessments in memory: combined ratings of plan spans, overlap check, list order,
// spans on other days and the BEL record.
#include "assessment/Belastungseinschaetzungen.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "core/Files.h"
#include "platform/ui/MessageShow.h"

static void PrintTo(const CBelastungseinschaetzung& a, std::ostream* os) {
    *os << "{" << a.ID << "/" << a.STEP << " " << a.SYSID << " " << int(a.WOCHENTAGE) << " '" << a.TAETIGKEIT
        << "' " << a.TERMIN.BEGINN << "-" << a.TERMIN.ENDE << " [";
    for (int32_t v : a.EINSCHAETZUNG) *os << v << " ";
    *os << "]}";
}

namespace {

constexpr uint32_t kDay = 1440;
constexpr uint8_t MO = 1, DI = 2, MI = 4, DO = 8, FR = 16, SA = 32, SO = 64;

using Ratings = std::map<int, int32_t>;   // item -> rating; the others 0

CBelastungseinschaetzung Assessment(const std::string& name, uint8_t days, uint32_t from, uint32_t to,
                                    const Ratings& ratings = {}, uint32_t sysid = 0) {
    CBelastungseinschaetzung a;
    a.TAETIGKEIT = name;
    a.WOCHENTAGE = days;
    a.TERMIN = {from, to};
    a.SYSID = sysid;
    for (const auto& [item, value] : ratings) a.SetItem(item, value);
    return a;
}

constexpr uint32_t H(int hours, int minutes = 0) { return static_cast<uint32_t>(hours * 60 + minutes); }

// The neutral ratings, items 1 to 18.
constexpr std::array<int32_t, 18> kNeutral = {1, 1, 1, 1, 9, 3, 1, 9, 1, 1, 0, 0, 5, 9, 1, 5, 5, 0};

std::array<int32_t, 18> NeutralWith(const Ratings& changes) {
    auto r = kNeutral;
    for (const auto& [item, value] : changes) r[static_cast<size_t>(item - 1)] = value;
    return r;
}

class MessageCatcher {
public:
    MessageCatcher() {
        SetMessageHook([this](const MessageRequest& m) {
            shown.push_back(m);
            return MessageDefaultAnswer(m);
        });
    }
    ~MessageCatcher() { SetMessageHook({}); }
    std::vector<MessageRequest> shown;
};

// ---- AssessInterval ------------------------------------------------------------------------------

// Early work Monday to Friday, late work Friday to Sunday (overlapping the early work by an hour
// on Friday), and a Monday night hour. The unused slot 11 carries a value that must survive.
CBelastungseinschaetzungen& Workplace() {
    static CBelastungseinschaetzungen list;
    if (list.Count() == 0) {
        list.Add(Assessment("Früh", MO | DI | MI | DO | FR, H(6), H(14), {{1, 4}, {5, 2}, {11, 3}, {13, 7}}));
        list.Add(Assessment("Spät", FR | SA | SO, H(13), H(22), {{1, 6}, {8, 8}, {17, 2}}));
        list.Add(Assessment("Nacht", MO, H(22), H(24), {{2, 7}}));
    }
    return list;
}

struct AssessCase {
    const char* what;
    TERMIN span;
    bool covered;
    Ratings expected;   // changes against the neutral ratings
};

TEST(AssessInterval, TakesTheLargestRatingOfTheAssessmentsForTheSpansWeekday) {
    const Ratings early = {{1, 4}, {5, 2}, {11, 3}, {13, 7}};
    const AssessCase cases[] = {
        {"Monday morning", {H(7), H(8)}, true, early},
        {"day 8 is a Monday again", {7 * kDay + H(7), 7 * kDay + H(8)}, true, early},
        {"day 36 is a Monday too", {35 * kDay + H(13), 35 * kDay + H(14)}, true, early},
        {"Friday, early and late overlap: item by item the larger",
         {4 * kDay + H(13), 4 * kDay + H(14)}, true, {{1, 6}, {5, 2}, {8, 8}, {11, 3}, {13, 7}, {17, 2}}},
        {"Friday right after the early work: late only, unrated items neutral",
         {4 * kDay + H(14), 4 * kDay + H(15)}, true, {{1, 6}, {8, 8}, {17, 2}}},
        {"Friday hour ending where the late work begins: early only", {4 * kDay + H(12), 4 * kDay + H(13)}, true, early},
        {"one minute of overlap counts", {H(13, 59), H(15)}, true, early},
        {"Saturday morning: nobody works", {5 * kDay + H(7), 5 * kDay + H(8)}, false, {}},
        {"Tuesday night: the night hour is Monday's only", {kDay + H(22), kDay + H(23)}, false, {}},
        {"Monday night", {H(23), H(24)}, true, {{2, 7}}},
        {"a span into Tuesday counts for the Monday of its begin", {H(23, 30), kDay + H(0, 30)}, true, {{2, 7}}},
        {"Sunday of week 2", {13 * kDay + H(20), 13 * kDay + H(21)}, true, {{1, 6}, {8, 8}, {17, 2}}},
    };
    for (const AssessCase& c : cases) {
        SCOPED_TRACE(c.what);
        const CBelastungseinschaetzung r = Workplace().AssessInterval(c.span);
        EXPECT_EQ(r.EINSCHAETZUNG, NeutralWith(c.expected));
        if (c.covered) {
            EXPECT_EQ(r.WOCHENTAGE, 0);
            EXPECT_EQ(r.TERMIN, TERMIN{});
        } else {
            EXPECT_EQ(r.WOCHENTAGE, 127);
            EXPECT_EQ(r.TERMIN, (TERMIN{0, kDay}));
        }
    }
}

TEST(AssessInterval, AnEmptyListGivesTheNeutralRatings) {
    CBelastungseinschaetzungen empty;
    const CBelastungseinschaetzung r = empty.AssessInterval({H(10), H(11)});
    EXPECT_EQ(r.EINSCHAETZUNG, kNeutral);
    EXPECT_EQ(r.WOCHENTAGE, 127);
    EXPECT_EQ(r.TERMIN, (TERMIN{0, kDay}));
}

// ---- CheckOverlaps -------------------------------------------------------------------------------

struct OverlapCase {
    const char* what;
    std::vector<CBelastungseinschaetzung> items;
    uint8_t result;
    std::string text;   // the message, empty when none
};

TEST(CheckOverlaps, ReportsTheFirstCollidingPairWithTheDaysBothShare) {
    const std::string fix = "||Bitte korrigieren Sie Ihre Eingaben.";
    const OverlapCase cases[] = {
        {"early Monday-Friday and late Friday-Sunday collide on Friday only",
         {Assessment("a", MO | DI | MI | DO | FR, H(6), H(14)), Assessment("b", FR | SA | SO, H(13), H(22))}, 5,
         "Die Zeiten von 06:00 bis 14:00 überschneiden sich an diesen/m Tag(en): |Freitag" + fix},
        {"the earlier begin is named, whatever was added first",
         {Assessment("b", FR | SA | SO, H(13), H(22)), Assessment("a", MO | FR, H(6), H(14))}, 5,
         "Die Zeiten von 06:00 bis 14:00 überschneiden sich an diesen/m Tag(en): |Freitag" + fix},
        {"spans that meet do not collide",
         {Assessment("a", 127, H(6), H(14)), Assessment("b", 127, H(14), H(22))}, 0, ""},
        {"overlapping times on different days do not collide",
         {Assessment("a", MO | MI, H(6), H(14)), Assessment("b", DI | DO, H(8), H(10))}, 0, ""},
        {"shared days listed Monday first, an end at midnight as 24:00",
         {Assessment("a", 127, H(18), H(24)), Assessment("b", SO | MI | SA, H(20), H(22))}, 5,
         "Die Zeiten von 18:00 bis 24:00 überschneiden sich an diesen/m Tag(en): |Mittwoch, Samstag, Sonntag" + fix},
        {"only the first colliding pair in list order is reported",
         {Assessment("a", MO, H(0), H(2)), Assessment("b", DI, H(1), H(9)), Assessment("c", MO | DI, H(8), H(12)),
          Assessment("d", MO, H(11), H(13))},
         5, "Die Zeiten von 01:00 bis 09:00 überschneiden sich an diesen/m Tag(en): |Dienstag" + fix},
        {"a later pair collides once the first ones do not",
         {Assessment("a", SA, H(0), H(5)), Assessment("b", SO, H(4), H(6)), Assessment("c", SO, H(5, 59), H(7))}, 5,
         "Die Zeiten von 04:00 bis 06:00 überschneiden sich an diesen/m Tag(en): |Sonntag" + fix},
        {"an empty list", {}, 0, ""},
    };
    for (const OverlapCase& c : cases) {
        SCOPED_TRACE(c.what);
        CBelastungseinschaetzungen list;
        for (const auto& a : c.items) list.Add(a);
        MessageCatcher messages;
        EXPECT_EQ(list.CheckOverlaps(false), c.result);
        if (c.text.empty()) {
            EXPECT_TRUE(messages.shown.empty());
            continue;
        }
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, c.text);
        EXPECT_EQ(messages.shown[0].caption, "Belastungseinschätzungen überschneiden sich");
        EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(messages.shown[0].buttonBits, unsigned(BUTTON_OK));

        // Quiet: the same answer without a message.
        MessageCatcher quiet;
        EXPECT_EQ(list.CheckOverlaps(true), c.result);
        EXPECT_TRUE(quiet.shown.empty());
    }
}

// ---- the list ------------------------------------------------------------------------------------

TEST(BelastungseinschaetzungenList, KeepsBeginOrderAndEqualBeginsInTheOrderAdded) {
    CBelastungseinschaetzungen list;
    list.Add(Assessment("c", MO, H(12), H(13), {}, 3));
    list.Add(Assessment("a", MO, H(6), H(7), {}, 1));
    list.Add(Assessment("d", DI, H(12), H(14), {}, 4));
    list.Add(Assessment("b", MI, H(8), H(9), {}, 2));
    list.Add(Assessment("e", DO, H(12), H(12, 30), {}, 5));
    std::vector<std::string> names;
    for (const auto& row : list.Rows()) {
        names.push_back(row.BELASTUNGSEINSCHAETZUNG->TAETIGKEIT);
        EXPECT_EQ(row.SYSID, row.BELASTUNGSEINSCHAETZUNG->SYSID);
        EXPECT_EQ(row.SORTFIELD, int32_t(row.BELASTUNGSEINSCHAETZUNG->TERMIN.BEGINN));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(list.Get(6), nullptr);
    EXPECT_EQ(list.Get(0), nullptr);

    // A copy holds equal assessments of its own, in the same order.
    CBelastungseinschaetzungen copy;
    copy.Add(Assessment("old", SO, H(1), H(2)));
    copy.AssignFrom(list);
    ASSERT_EQ(copy.Count(), list.Count());
    for (size_t i = 1; i <= list.Count(); ++i) {
        EXPECT_EQ(*copy.Get(i), *list.Get(i));
        EXPECT_NE(copy.Get(i), list.Get(i));
    }
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(copy.Count(), 5u);
}

TEST(Belastungseinschaetzung, SpansMoveByWholeDays) {
    CBelastungseinschaetzung a = Assessment("x", MO, H(6), H(14));
    uint16_t day = 0;
    a.SetTermin(3);
    EXPECT_EQ(a.GetTermin(), (TERMIN{2 * kDay + H(6), 2 * kDay + H(14)}));
    EXPECT_EQ(a.GetDay(), 3);
    EXPECT_EQ(a.GetTermin(day), (TERMIN{H(6), H(14)}));
    EXPECT_EQ(day, 3);
    a.SetTermin(TERMIN{H(22), H(24)}, 8);
    EXPECT_EQ(a.GetTermin(), (TERMIN{7 * kDay + H(22), 8 * kDay}));
    EXPECT_EQ(a.GetTermin(day), (TERMIN{H(22), H(24)}));
    EXPECT_EQ(day, 8);
    a.SetTermin(TERMIN{H(1), H(2)});
    EXPECT_EQ(a.GetDay(), 1);
}

TEST(Belastungseinschaetzung, RecordCarriesEveryField) {
    CBelastungseinschaetzung a = Assessment("Pflege über Nacht, Station Süd", MO | SO, H(0), H(24), {}, 4000000000u);
    a.ID = 32769;
    a.STEP = 12;
    for (int n = 1; n <= 18; ++n) a.SetItem(n, n * 1000 - 7);
    a.ToRecord(BEL);
    CBelastungseinschaetzung b;
    b.FromRecord(BEL);
    EXPECT_EQ(b, a);

    // A name longer than the field is cut to 30 characters.
    a.TAETIGKEIT = "Überwachung der Großküchengeräte und Spülstraßen";
    a.ToRecord(TMPBEL);
    b.FromRecord(TMPBEL);
    EXPECT_EQ(b.TAETIGKEIT, "Überwachung der Großküchengerä");
}

} // namespace
