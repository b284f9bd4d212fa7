#include <godot_cpp/variant/char_string.hpp>
#include <godot_cpp/variant/node_path.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_map>

#include <ostream>

using namespace godot;

namespace {

std::string u8(const String &p_str) {
	return p_str.utf8().get_data();
}

} // namespace

// Readable failure output; internal linkage so other test files can do the same.
namespace godot {
static void PrintTo(const String &p_str, std::ostream *r_os) {
	*r_os << '"' << u8(p_str) << '"';
}
static void PrintTo(const StringName &p_name, std::ostream *r_os) {
	*r_os << "&\"" << u8(p_name) << '"';
}
static void PrintTo(const NodePath &p_path, std::ostream *r_os) {
	*r_os << "^\"" << u8(p_path) << '"';
}
} // namespace godot

TEST(CharString, EmptyHasNoTerminatorButSafeData) {
	CharString cs;
	EXPECT_EQ(cs.size(), 0);
	EXPECT_EQ(cs.length(), 0);
	ASSERT_NE(cs.get_data(), nullptr);
	EXPECT_STREQ(cs.get_data(), "");

	cs += 'a';
	cs += 'b';
	EXPECT_EQ(cs.size(), 3);
	EXPECT_EQ(cs.length(), 2);
	EXPECT_TRUE(cs == "ab");
	EXPECT_FALSE(cs == "abc");
	EXPECT_EQ(std::strlen(cs), 2u);
}

TEST(StringEncoding, NarrowLiteralIsLatin1) {
	String s("caf\xE9");
	EXPECT_EQ(s.length(), 4);
	EXPECT_EQ(s[3], U'\u00E9');
	// Multi-byte UTF-8 through the plain constructor stays byte-per-character.
	EXPECT_EQ(String("\xC3\xA9").length(), 2);
	EXPECT_TRUE(String(static_cast<const char *>(nullptr)).is_empty());
}

TEST(StringEncoding, Utf8DecodeAndEncode) {
	String s = String::utf8("caf\xC3\xA9 \xF0\x9F\x98\x80");
	EXPECT_EQ(s.length(), 6);
	EXPECT_EQ(s[3], U'\u00E9');
	EXPECT_EQ(s[5], U'\U0001F600');
	EXPECT_EQ(u8(s), "caf\xC3\xA9 \xF0\x9F\x98\x80");
	EXPECT_EQ(s.utf8().length(), 10);

	EXPECT_EQ(String::utf8("abcdef", 3), "abc");
	EXPECT_EQ(String::utf8("\xEF\xBB\xBFhi"), "hi");
}

TEST(StringEncoding, Utf8InvalidBytesBecomeReplacementChar) {
	EXPECT_EQ(String::utf8("a\xFFz"), U"a\uFFFDz");
	EXPECT_EQ(String::utf8("a\xC3"), U"a\uFFFD");      // truncated at end
	EXPECT_EQ(String::utf8("\xE2\x82z"), U"\uFFFDz");  // truncated before ASCII
	EXPECT_EQ(String::utf8("\xC0\xAF"), U"\uFFFD");    // overlong '/'
	EXPECT_EQ(String::utf8("\xED\xA0\x80"), U"\uFFFD"); // encoded surrogate
}

TEST(StringEncoding, Utf16AndWide) {
	String s(u"x\U0001F600y");
	EXPECT_EQ(s.length(), 3);
	EXPECT_EQ(s[1], U'\U0001F600');
	Char16String u16 = s.utf16();
	EXPECT_EQ(u16.length(), 4);
	EXPECT_EQ(String(u16.get_data()), s);
	EXPECT_EQ(String(u"a\xD800"), U"a\uFFFD"); // lone surrogate

	EXPECT_EQ(String(L"w\u00FC"), U"w\u00FC");
	EXPECT_EQ(String(U"w\u00FC").wide_string().length(), 2);
	EXPECT_EQ(s.utf32().length(), 3);
}

TEST(StringEncoding, AsciiIsLatin1WithSpaceForWiderChars) {
	EXPECT_STREQ(String::utf8("caf\xC3\xA9").ascii().get_data(), "caf\xE9");
	CharString cs = String(U"a\u0100b\U0001F600").ascii();
	EXPECT_EQ(cs.length(), 4);
	EXPECT_STREQ(cs.get_data(), "a b ");
	EXPECT_EQ(String().ascii().size(), 0);
}

TEST(StringCase, AsciiAndLengthPreserved) {
	String up = String("have fun!").to_upper();
	EXPECT_STREQ(up.ascii().get_data(), "HAVE FUN!");
	EXPECT_EQ(up.length(), 9);
	EXPECT_EQ(up.to_lower(), "have fun!");
}

TEST(StringCase, LatinGreekCyrillic) {
	EXPECT_EQ(String(U"\u00E0\u00FE\u00F7\u00DF\u00FF\u00B5").to_upper(), U"\u00C0\u00DE\u00F7\u00DF\u0178\u00B5");
	EXPECT_EQ(String(U"\u00C0\u00D7\u0178").to_lower(), U"\u00E0\u00D7\u00FF");
	// Latin Extended-A alternates parity halfway through.
	EXPECT_EQ(String(U"\u0101\u013A\u017E").to_upper(), U"\u0100\u0139\u017D");
	EXPECT_EQ(String(U"\u0100\u0139\u017D").to_lower(), U"\u0101\u013A\u017E");
	EXPECT_EQ(String(U"\u03B1\u03C9\u03C2\u03AC").to_upper(), U"\u0391\u03A9\u03A3\u0386");
	EXPECT_EQ(String(U"\u0391\u03A3\u038F").to_lower(), U"\u03B1\u03C3\u03CE");
	EXPECT_EQ(String(U"\u043F\u0451\u0463").to_upper(), U"\u041F\u0401\u0462");
	EXPECT_EQ(String(U"\u041F\u0401\u0462").to_lower(), U"\u043F\u0451\u0463");
	EXPECT_EQ(String(U"\u4E2D1_").to_upper(), U"\u4E2D1_");
}

TEST(StringMatch, Glob) {
	EXPECT_TRUE(String("neck_x").match("neck_*"));
	EXPECT_TRUE(String("neck_").match("neck_*"));
	EXPECT_FALSE(String("hand_l").match("*left*"));
	EXPECT_TRUE(String("hand_left_02").match("*left*"));
	EXPECT_TRUE(String("aXbYbc").match("a*b*c"));
	EXPECT_FALSE(String("aXbYbcd").match("a*b*c"));
	EXPECT_TRUE(String("abc").match("a?c"));
	EXPECT_FALSE(String("ac").match("a?c"));
	EXPECT_FALSE(String("Neck_x").match("neck_*"));
	EXPECT_TRUE(String("Neck_X").matchn("neck_*"));
	EXPECT_TRUE(String::utf8("\xC3\x89T\xC3\x89").matchn(String::utf8("\xC3\xA9t?")));
}

TEST(StringMatch, EngineEdgeCases) {
	// '?' never matches a period, and empty operands never match.
	EXPECT_FALSE(String("a.c").match("a?c"));
	EXPECT_TRUE(String("a.c").match("a*c"));
	EXPECT_FALSE(String("").match("*"));
	EXPECT_FALSE(String("abc").match(""));
	EXPECT_TRUE(String("abc").match("***"));
}

TEST(StringSearch, FindAndFriends) {
	String s("one two one");
	EXPECT_EQ(s.find("one"), 0);
	EXPECT_EQ(s.find("one", 1), 8);
	EXPECT_EQ(s.find("zzz"), -1);
	EXPECT_EQ(s.find(""), -1);
	EXPECT_EQ(s.find("one", -1), -1);
	EXPECT_EQ(s.rfind("one"), 8);
	EXPECT_EQ(s.rfind("one", 7), 0);
	EXPECT_EQ(s.rfind("one", -5), 8);
	EXPECT_EQ(s.findn("TWO"), 4);
	EXPECT_TRUE(s.contains("two"));
	EXPECT_FALSE(s.contains(""));
	EXPECT_TRUE(s.begins_with("one "));
	EXPECT_TRUE(s.begins_with(""));
	EXPECT_FALSE(String("on").begins_with("one"));
	EXPECT_TRUE(s.ends_with(" one"));
	EXPECT_FALSE(String("ne").ends_with("one"));
}

TEST(StringSlice, SubstrLeftRight) {
	String s("abcdef");
	EXPECT_EQ(s.substr(2), "cdef");
	EXPECT_EQ(s.substr(2, 2), "cd");
	EXPECT_EQ(s.substr(4, 100), "ef");
	EXPECT_EQ(s.substr(6), "");
	EXPECT_EQ(s.substr(-1, 2), "");
	EXPECT_EQ(s.left(2), "ab");
	EXPECT_EQ(s.left(-2), "abcd");
	EXPECT_EQ(s.left(99), "abcdef");
	EXPECT_EQ(s.right(2), "ef");
	EXPECT_EQ(s.right(-2), "cdef");
	EXPECT_EQ(s.get_slice(",", 0), "abcdef");
	EXPECT_EQ(String("a,b,,c").get_slice(",", 3), "c");
	EXPECT_EQ(String("a,b,,c").get_slice(",", 2), "");
	EXPECT_EQ(String("a,b,,c").get_slice(",", 4), "");
	EXPECT_EQ(String("a,b,,c").get_slice_count(","), 4);
}

TEST(StringEdit, ReplaceStripPad) {
	EXPECT_EQ(String("aXbXc").replace("X", "--"), "a--b--c");
	EXPECT_EQ(String("aaa").replace("aa", "b"), "ba");
	EXPECT_EQ(String("abc").replace("", "x"), "abc");
	EXPECT_EQ(String(" \t x y \n").strip_edges(), "x y");
	EXPECT_EQ(String("  x  ").strip_edges(true, false), "x  ");
	EXPECT_EQ(String("  x  ").strip_edges(false, true), "  x");
	EXPECT_EQ(String("   ").strip_edges(), "");
	EXPECT_EQ(String("7").pad_zeros(3), "007");
	EXPECT_EQ(String("-7.25").pad_zeros(3), "-007.25");
	EXPECT_EQ(String("1234").pad_zeros(2), "1234");
	EXPECT_EQ(String("xyz").pad_zeros(3), "xyz");
	EXPECT_EQ(String("abc").insert(1, "-"), "a-bc");
	EXPECT_EQ(String("abc").erase(1), "ac");
	EXPECT_EQ(String("ab").repeat(3), "ababab");
	EXPECT_EQ(String("file.tscn").trim_suffix(".tscn"), "file");
}

TEST(StringNumber, Num) {
	EXPECT_EQ(String::num(3.14159), "3.14159");
	EXPECT_EQ(String::num(1.0), "1");
	EXPECT_EQ(String::num(-0.5), "-0.5");
	EXPECT_EQ(String::num(0.1 + 0.2), "0.3");
	EXPECT_EQ(String::num(1234.5678, 2), "1234.57");
	EXPECT_EQ(String::num(2.5, 0), "2");
	EXPECT_EQ(String::num(100.0, 3), "100");
	EXPECT_EQ(String::num(1e20), "100000000000000000000");
	EXPECT_EQ(String::num(std::nan("")), "nan");
	EXPECT_EQ(String::num(INFINITY), "inf");
	EXPECT_EQ(String::num(-INFINITY), "-inf");
	EXPECT_EQ(rtos(0.25), "0.25");
}

TEST(StringNumber, NumReal) {
	EXPECT_EQ(String::num_real(2.0), "2.0");
	EXPECT_EQ(String::num_real(-3.0, false), "-3");
	EXPECT_EQ(String::num_real(0.1f), "0.1");
	EXPECT_EQ(String::num_real(123.456), "123.456");
	EXPECT_EQ(String::num_real(12345.678f), "12345.68");
	EXPECT_EQ(String::num_real(-0.75), "-0.75");
	EXPECT_EQ(String::num_real(1e30), "1000000000000000019884624838656");
	EXPECT_EQ(String::num_real(INFINITY), "inf");
}

TEST(StringNumber, Integers) {
	EXPECT_EQ(itos(0), "0");
	EXPECT_EQ(itos(-42), "-42");
	EXPECT_EQ(itos(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
	EXPECT_EQ(uitos(std::numeric_limits<uint64_t>::max()), "18446744073709551615");
	EXPECT_EQ(String::num_int64(255, 16), "ff");
	EXPECT_EQ(String::num_int64(-255, 16, true), "-FF");
	EXPECT_EQ(String::num_int64(5, 2), "101");
}

TEST(StringNumber, Parse) {
	EXPECT_EQ(String("42").to_int(), 42);
	EXPECT_EQ(String("-17").to_int(), -17);
	EXPECT_EQ(String("a1b2").to_int(), 12);
	EXPECT_EQ(String("3.9").to_int(), 3);
	EXPECT_EQ(String("").to_int(), 0);
	EXPECT_EQ(String("-9223372036854775808").to_int(), std::numeric_limits<int64_t>::min());

	EXPECT_DOUBLE_EQ(String("1.5").to_float(), 1.5);
	EXPECT_DOUBLE_EQ(String("  -2.5e2xyz").to_float(), -250.0);
	EXPECT_DOUBLE_EQ(String("1.2.3").to_float(), 1.2);
	EXPECT_DOUBLE_EQ(String("7e").to_float(), 7.0);
	EXPECT_DOUBLE_EQ(String(".5").to_float(), 0.5);
	EXPECT_DOUBLE_EQ(String("abc").to_float(), 0.0);
	EXPECT_DOUBLE_EQ(String("0x10").to_float(), 0.0);

	EXPECT_TRUE(String("-12").is_valid_int());
	EXPECT_TRUE(String("+3").is_valid_int());
	EXPECT_FALSE(String("-").is_valid_int());
	EXPECT_FALSE(String("1.0").is_valid_int());
	EXPECT_FALSE(String("").is_valid_int());
}

TEST(StringOperators, ConcatenationForms) {
	const String c("c");
	String m("m");
	EXPECT_EQ(c + "x", "cx"); // const object goes through operator+(const String &)
	EXPECT_EQ(m + "x", "mx");
	EXPECT_EQ(m + U"\u00E9", U"m\u00E9");
	EXPECT_EQ(m + U'!', "m!");
	EXPECT_EQ("x" + c, "xc");
	EXPECT_EQ(U'>' + c, ">c");
	EXPECT_EQ(u"u" + c, "uc");

	m += "1";
	m += U'2';
	m += String("3");
	m += U"4";
	EXPECT_EQ(m, "m1234");
	EXPECT_EQ(m.length(), 5);
}

TEST(StringOperators, ComparisonAndIndex) {
	String s("abc");
	EXPECT_TRUE(s == "abc");
	EXPECT_TRUE("abc" == s);
	EXPECT_TRUE(s != "abd");
	EXPECT_TRUE("abd" != s);
	EXPECT_TRUE(s == U"abc");
	EXPECT_TRUE(String("ab") < s);
	EXPECT_TRUE(s < String("abd"));
	EXPECT_TRUE(s >= s);

	s[1] = U'\u00E9';
	EXPECT_EQ(s, U"a\u00E9c");
	const String &cs = s;
	EXPECT_EQ(cs[3], U'\0');
	EXPECT_EQ(s.unicode_at(1), 0xE9);
}

TEST(StringRaw, ResizeAndWrite) {
	String s;
	ASSERT_EQ(s.resize(4), OK);
	EXPECT_EQ(s.length(), 3);
	char32_t *w = s.ptrw();
	w[0] = U'x';
	w[1] = U'y';
	w[2] = U'z';
	w[3] = 0;
	EXPECT_EQ(s, "xyz");
	EXPECT_EQ(s.ptr()[3], U'\0');
	s.resize(0);
	EXPECT_TRUE(s.is_empty());
}

// Copies share their text until one is written, as the engine's strings do:
// a write through any path must leave every other copy as it was.
TEST(StringRaw, CopiesAreIndependentOnceWritten) {
	String original("grip");
	String by_index = original;
	by_index[0] = U'G';
	String by_pointer = original;
	by_pointer.ptrw()[1] = U'R';
	String appended = original;
	appended += "_force";
	String resized = original;
	resized.resize(2);
	String upper = original.to_upper();
	EXPECT_EQ(original, "grip");
	EXPECT_EQ(by_index, "Grip");
	EXPECT_EQ(by_pointer, "gRip");
	EXPECT_EQ(appended, "grip_force");
	EXPECT_EQ(resized, "g");
	EXPECT_EQ(upper, "GRIP");

	// Writing the original leaves earlier copies alone too.
	String kept = original;
	original[3] = U'P';
	EXPECT_EQ(kept, "grip");
	EXPECT_EQ(original, "griP");
	String moved = std::move(kept);
	EXPECT_EQ(moved, "grip");
}

TEST(StringHash, StableAndUsableAsKey) {
	EXPECT_EQ(String("abc").hash(), String(U"abc").hash());
	EXPECT_NE(String("abc").hash(), String("acb").hash());
	EXPECT_EQ(String().hash(), 5381);
	std::unordered_map<String, int> map;
	map["k"] = 1;
	EXPECT_EQ(map.count(String::utf8("k")), 1u);
}

TEST(StringNameTest, InterningAndEquality) {
	StringName a("neck_x");
	StringName b(String("neck_") + "x");
	StringName c(U"neck_y");
	EXPECT_TRUE(a == b);
	EXPECT_TRUE(a != c);
	EXPECT_TRUE(a == "neck_x");
	EXPECT_TRUE(a == String("neck_x"));
	EXPECT_TRUE(a != "neck_y");
	EXPECT_EQ(String(a), "neck_x");
	EXPECT_EQ(a.hash(), String("neck_x").hash());
	EXPECT_TRUE(a < c);
	EXPECT_FALSE(c < a);

	StringName empty;
	EXPECT_TRUE(empty.is_empty());
	EXPECT_TRUE(StringName("").is_empty());
	EXPECT_TRUE(empty == StringName(String()));
	EXPECT_EQ(String(empty), "");
	EXPECT_EQ(empty.length(), 0);

	std::unordered_map<StringName, int> map;
	map[a] = 3;
	EXPECT_EQ(map[StringName("neck_x")], 3);
}

TEST(StringNameTest, StringMethodsForward) {
	StringName n("neck_x");
	EXPECT_TRUE(n.match("neck_*"));
	EXPECT_FALSE(n.match("NECK_*"));
	EXPECT_TRUE(n.matchn("NECK_*"));
	EXPECT_EQ(n.length(), 6);
	EXPECT_EQ(n.to_upper(), "NECK_X");
	EXPECT_TRUE(n.begins_with("neck"));
	EXPECT_TRUE(n.ends_with("_x"));
	EXPECT_EQ(n.find("_"), 4);
	EXPECT_TRUE(n.contains("ck"));
}

TEST(NodePathTest, Parsing) {
	NodePath p("/root/Main//Arm:position:x");
	EXPECT_FALSE(p.is_empty());
	EXPECT_TRUE(p.is_absolute());
	ASSERT_EQ(p.get_name_count(), 3);
	EXPECT_EQ(p.get_name(0), "root");
	EXPECT_EQ(p.get_name(2), "Arm");
	ASSERT_EQ(p.get_subname_count(), 2);
	EXPECT_EQ(p.get_subname(1), "x");
	EXPECT_EQ(p.get_concatenated_names(), "root/Main/Arm");
	EXPECT_EQ(p.get_concatenated_subnames(), "position:x");
	EXPECT_EQ(String(p), "/root/Main/Arm:position:x");

	NodePath rel(String("Skeleton3D/"));
	EXPECT_FALSE(rel.is_absolute());
	EXPECT_EQ(rel.get_name_count(), 1);
	EXPECT_EQ(String(rel), "Skeleton3D");

	NodePath prop(":visible");
	EXPECT_FALSE(prop.is_empty());
	EXPECT_EQ(prop.get_name_count(), 0);
	EXPECT_EQ(String(prop), ":visible");
}

TEST(NodePathTest, EmptyAndEquality) {
	EXPECT_TRUE(NodePath().is_empty());
	EXPECT_TRUE(NodePath("").is_empty());
	EXPECT_TRUE(NodePath(":").is_empty());
	EXPECT_FALSE(NodePath("/").is_empty());
	EXPECT_NE(NodePath("/"), NodePath());
	EXPECT_EQ(NodePath("a/b"), NodePath(StringName("a//b/")));
	EXPECT_NE(NodePath("a/b"), NodePath("/a/b"));
	EXPECT_NE(NodePath("a/b"), NodePath("a/b:c"));
	EXPECT_EQ(NodePath().get_name(0), StringName());
}
