// The titles the list shows: the hidden-window mark added and taken away again, owned
// copies, and titles cut inside a UTF-8 character.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "catalogue/title_text.h"

namespace {

const std::string SUFFIX = std::string(15, ' ') + "(HIDDEN)";

std::string TextOf(const std::unique_ptr<char[]>& text)
{
    return text ? std::string(text.get()) : std::string("<null>");
}

}  // namespace

TEST(HiddenSuffix, IsFifteenSpacesThenHiddenInBrackets)
{
    EXPECT_EQ(HIDDEN_SUFFIX_LENGTH, 23u);
    EXPECT_EQ(std::string(HIDDEN_SUFFIX), SUFFIX);
    EXPECT_EQ(std::strlen(HIDDEN_SUFFIX), 23u);
}

TEST(HiddenSuffix, HidingAppendsTheMarkToTheTitle)
{
    EXPECT_EQ(TextOf(AppendHiddenSuffix("Report")), "Report" + SUFFIX);
    EXPECT_EQ(TextOf(AppendHiddenSuffix("Report")), "Report               (HIDDEN)");
    // A title that already ends in spaces keeps them: the mark adds its own.
    EXPECT_EQ(TextOf(AppendHiddenSuffix("  ")), "  " + SUFFIX);
}

TEST(HiddenSuffix, UntitledHiddenWindowShowsTheMarkAlone)
{
    EXPECT_EQ(TextOf(AppendHiddenSuffix("")), SUFFIX);
}

TEST(HiddenSuffix, RestoringDropsTheLastTwentyThreeCharactersWithoutLooking)
{
    EXPECT_EQ(TextOf(RemoveHiddenSuffix(("Report" + SUFFIX).c_str())), "Report");
    EXPECT_EQ(TextOf(RemoveHiddenSuffix(SUFFIX.c_str())), "");
    // Whatever the last 23 characters are, they go.
    EXPECT_EQ(TextOf(RemoveHiddenSuffix("abcdefghijklmnopqrstuvwxyz")), "abc");
    EXPECT_EQ(TextOf(RemoveHiddenSuffix(std::string(23, 'x').c_str())), "");
    EXPECT_EQ(TextOf(RemoveHiddenSuffix(std::string(24, 'x').c_str())), "x");
}

TEST(HiddenSuffix, TitleTooShortForTheMarkIsKeptWhole)
{
    // Sanitizers catch any write before the start of the buffer.
    EXPECT_EQ(TextOf(RemoveHiddenSuffix("")), "");
    EXPECT_EQ(TextOf(RemoveHiddenSuffix("Report")), "Report");
    EXPECT_EQ(TextOf(RemoveHiddenSuffix(std::string(22, 'x').c_str())), std::string(22, 'x'));
}

TEST(HiddenSuffix, HideThenRestoreGivesBackTheOriginalTitle)
{
    const std::string titles[] = {"", "Report", " ", std::string(22, 'a'), std::string(23, 'b'),
                                  "Title with (HIDDEN) inside", std::string(254, 'z')};
    for (const std::string& title : titles) {
        std::unique_ptr<char[]> hidden = AppendHiddenSuffix(title.c_str());
        ASSERT_TRUE(hidden) << "title of " << title.size() << " characters";
        EXPECT_EQ(std::strlen(hidden.get()), title.size() + 23);
        EXPECT_EQ(TextOf(RemoveHiddenSuffix(hidden.get())), title) << "title of " << title.size() << " characters";
    }
}

TEST(HiddenSuffix, LongestReadableTitleGrowsTo277Characters)
{
    const std::string title(254, 'T');
    std::unique_ptr<char[]> hidden = AppendHiddenSuffix(title.c_str());
    ASSERT_TRUE(hidden);
    EXPECT_EQ(std::strlen(hidden.get()), 277u);
    EXPECT_EQ(std::string(hidden.get()), title + SUFFIX);
    std::unique_ptr<char[]> restored = RemoveHiddenSuffix(hidden.get());
    ASSERT_TRUE(restored);
    EXPECT_EQ(std::strlen(restored.get()), 254u);
}

TEST(HiddenSuffix, HidingTwiceStacksTheMarkAndRestoringTwiceUndoesIt)
{
    std::unique_ptr<char[]> once = AppendHiddenSuffix("Report");
    ASSERT_TRUE(once);
    std::unique_ptr<char[]> twice = AppendHiddenSuffix(once.get());
    ASSERT_TRUE(twice);
    EXPECT_EQ(TextOf(twice), "Report" + SUFFIX + SUFFIX);
    std::unique_ptr<char[]> back = RemoveHiddenSuffix(twice.get());
    ASSERT_TRUE(back);
    EXPECT_EQ(TextOf(RemoveHiddenSuffix(back.get())), "Report");
}

TEST(CopyText, CopyIsEqualButIndependentOfTheOriginal)
{
    char original[] = "Report";
    std::unique_ptr<char[]> copy = CopyText(original);
    ASSERT_TRUE(copy);
    EXPECT_NE(copy.get(), original);
    original[0] = 'X';
    EXPECT_EQ(TextOf(copy), "Report");
}

TEST(CopyText, EmptyAndLongTitlesAreCopiedExactly)
{
    EXPECT_EQ(TextOf(CopyText("")), "");
    const std::string longTitle = std::string(254, 'q') + SUFFIX;
    EXPECT_EQ(TextOf(CopyText(longTitle.c_str())), longTitle);
    // Bytes above 127 (ANSI or UTF-8 letters) pass through unchanged.
    EXPECT_EQ(TextOf(CopyText("Caf\xE9 \xC3\xA9")), "Caf\xE9 \xC3\xA9");
}

namespace {

size_t CompleteLength(const std::string& text)
{
    return CompleteUtf8Length(text.data(), text.size());
}

}  // namespace

TEST(CutUtf8Title, PlainAsciiIsKeptWhole)
{
    EXPECT_EQ(CompleteLength("Report"), 6u);
    EXPECT_EQ(CompleteLength("a"), 1u);
    EXPECT_EQ(CompleteLength(std::string(254, 'x')), 254u);
}

TEST(CutUtf8Title, EmptyTitleStaysEmpty)
{
    EXPECT_EQ(CompleteUtf8Length("", 0), 0u);
}

TEST(CutUtf8Title, CompleteCharactersAreKept)
{
    EXPECT_EQ(CompleteLength("Caf\xC3\xA9"), 5u);                 // é, 2 bytes
    EXPECT_EQ(CompleteLength("10 \xE2\x82\xAC"), 6u);             // €, 3 bytes
    EXPECT_EQ(CompleteLength("ok \xF0\x9F\x98\x80"), 7u);         // emoji, 4 bytes
    EXPECT_EQ(CompleteLength("\xC3\xA9"), 2u);
    EXPECT_EQ(CompleteLength("\xF0\x9F\x98\x80"), 4u);
    EXPECT_EQ(CompleteLength("\xE2\x82\xAC" "abc"), 6u);
}

TEST(CutUtf8Title, CharacterCutShortIsDropped)
{
    // Two-byte character cut after its first byte.
    EXPECT_EQ(CompleteLength("Caf\xC3"), 3u);
    // Three-byte character cut after one or two bytes.
    EXPECT_EQ(CompleteLength("10 \xE2"), 3u);
    EXPECT_EQ(CompleteLength("10 \xE2\x82"), 3u);
    // Four-byte character cut after one, two or three bytes.
    EXPECT_EQ(CompleteLength("ok \xF0"), 3u);
    EXPECT_EQ(CompleteLength("ok \xF0\x9F"), 3u);
    EXPECT_EQ(CompleteLength("ok \xF0\x9F\x98"), 3u);
}

TEST(CutUtf8Title, CutAtTheVeryStartLeavesNothing)
{
    EXPECT_EQ(CompleteLength("\xC3"), 0u);
    EXPECT_EQ(CompleteLength("\xE2\x82"), 0u);
    EXPECT_EQ(CompleteLength("\xF0\x9F\x98"), 0u);
}

TEST(CutUtf8Title, OnlyTheLastCharacterIsLookedAt)
{
    // A complete character before the cut one survives.
    EXPECT_EQ(CompleteLength("\xC3\xA9\xE2\x82"), 2u);
    EXPECT_EQ(CompleteLength("\xF0\x9F\x98\x80\xF0\x9F\x98"), 4u);
    // The length given is what counts, not where the text's terminator is.
    const char text[] = "Caf\xC3\xA9";
    EXPECT_EQ(CompleteUtf8Length(text, 4), 3u);
    EXPECT_EQ(CompleteUtf8Length(text, 5), 5u);
}
