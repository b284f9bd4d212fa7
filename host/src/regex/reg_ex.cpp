// Regular expressions through PCRE2 (8-bit, UTF mode). The engine counts
// offsets in characters, so byte offsets of the UTF-8 subject are mapped back.
#include <godot_cpp/classes/reg_ex_match.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/classes/reg_ex.hpp>

#include <godot_cpp/variant/char_string.hpp>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <string>

namespace godot {

namespace {

pcre2_code *as_code(void *p_code) {
	return static_cast<pcre2_code *>(p_code);
}

// Byte offset of character p_char in UTF-8 text.
size_t byte_of_char(const std::string &p_text, int64_t p_char) {
	size_t i = 0;
	int64_t chars = 0;
	while (i < p_text.size() && chars < p_char) {
		i++;
		while (i < p_text.size() && (static_cast<unsigned char>(p_text[i]) & 0xC0) == 0x80) {
			i++;
		}
		chars++;
	}
	return i;
}

int32_t char_of_byte(const std::string &p_text, size_t p_byte) {
	int32_t chars = 0;
	for (size_t i = 0; i < p_byte && i < p_text.size(); i++) {
		if ((static_cast<unsigned char>(p_text[i]) & 0xC0) != 0x80) {
			chars++;
		}
	}
	return chars;
}

std::string to_utf8(const String &p_text, int32_t p_end) {
	int64_t length = p_text.length();
	if (p_end >= 0 && p_end < length) {
		length = p_end;
	}
	CharString utf8 = p_text.substr(0, length).utf8();
	return std::string(utf8.get_data(), (size_t)utf8.length());
}

// The pattern's named groups, in the order of PCRE2's name table.
std::vector<std::pair<String, int>> named_groups(void *p_code) {
	std::vector<std::pair<String, int>> out;
	uint32_t name_count = 0;
	uint32_t entry_size = 0;
	PCRE2_SPTR table = nullptr;
	pcre2_pattern_info(as_code(p_code), PCRE2_INFO_NAMECOUNT, &name_count);
	pcre2_pattern_info(as_code(p_code), PCRE2_INFO_NAMEENTRYSIZE, &entry_size);
	pcre2_pattern_info(as_code(p_code), PCRE2_INFO_NAMETABLE, &table);
	for (uint32_t i = 0; i < name_count; i++) {
		PCRE2_SPTR entry = table + i * entry_size;
		out.emplace_back(String::utf8(reinterpret_cast<const char *>(entry + 2)), (entry[0] << 8) | entry[1]);
	}
	return out;
}

} // namespace

RegEx::RegEx() = default;

RegEx::~RegEx() {
	clear();
}

Ref<RegEx> RegEx::create_from_string(const String &p_pattern, bool p_show_error) {
	Ref<RegEx> re;
	re.instantiate();
	re->compile(p_pattern, p_show_error);
	return re;
}

void RegEx::clear() {
	if (_code) {
		pcre2_code_free(as_code(_code));
		_code = nullptr;
	}
	_pattern = String();
}

Error RegEx::compile(const String &p_pattern, bool p_show_error) {
	clear();
	_pattern = p_pattern;
	CharString utf8 = p_pattern.utf8();
	int err = 0;
	PCRE2_SIZE offset = 0;
	pcre2_code *code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(utf8.get_data()), (PCRE2_SIZE)utf8.length(), PCRE2_UTF, &err, &offset, nullptr);
	if (!code) {
		if (p_show_error) {
			PCRE2_UCHAR buf[256];
			pcre2_get_error_message(err, buf, sizeof(buf));
			std::string text(utf8.get_data(), (size_t)utf8.length());
			String message = String::num_int64(char_of_byte(text, offset)) + ": " + String::utf8(reinterpret_cast<const char *>(buf));
			ERR_PRINT(message);
		}
		return FAILED;
	}
	_code = code;
	return OK;
}

Ref<RegExMatch> RegEx::search(const String &p_subject, int32_t p_offset, int32_t p_end) const {
	ERR_FAIL_COND_V(!is_valid(), Ref<RegExMatch>());
	ERR_FAIL_COND_V_MSG(p_offset < 0, Ref<RegExMatch>(), "RegEx search offset must be >= 0");
	std::string subject = to_utf8(p_subject, p_end);
	size_t start = byte_of_char(subject, p_offset);
	if (start > subject.size() || p_offset > p_subject.length()) {
		return Ref<RegExMatch>();
	}
	pcre2_match_data *data = pcre2_match_data_create_from_pattern(as_code(_code), nullptr);
	int res = pcre2_match(as_code(_code), reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), start, 0, data, nullptr);
	if (res < 0) {
		pcre2_match_data_free(data);
		return Ref<RegExMatch>();
	}
	uint32_t count = pcre2_get_ovector_count(data);
	PCRE2_SIZE *ovector = pcre2_get_ovector_pointer(data);
	std::vector<std::pair<int32_t, int32_t>> ranges;
	ranges.reserve(count);
	for (uint32_t i = 0; i < count; i++) {
		if (ovector[i * 2] == PCRE2_UNSET) {
			ranges.emplace_back(-1, -1);
		} else {
			ranges.emplace_back(char_of_byte(subject, ovector[i * 2]), char_of_byte(subject, ovector[i * 2 + 1]));
		}
	}
	pcre2_match_data_free(data);

	Dictionary names;
	for (const auto &entry : named_groups(_code)) {
		names[entry.first] = entry.second;
	}

	Ref<RegExMatch> result;
	result.instantiate();
	result->_host_set(p_subject, std::move(ranges), names);
	return result;
}

TypedArray<RegExMatch> RegEx::search_all(const String &p_subject, int32_t p_offset, int32_t p_end) const {
	ERR_FAIL_COND_V_MSG(p_offset < 0, TypedArray<RegExMatch>(), "RegEx search offset must be >= 0");
	int32_t last_end = 0;
	TypedArray<RegExMatch> out;
	Ref<RegExMatch> m = search(p_subject, p_offset, p_end);
	while (m.is_valid()) {
		last_end = m->get_end(0);
		if (m->get_start(0) == last_end) {
			last_end += 1;
		}
		out.push_back(m);
		m = search(p_subject, last_end, p_end);
	}
	return out;
}

String RegEx::sub(const String &p_subject, const String &p_replacement, bool p_all, int32_t p_offset, int32_t p_end) const {
	ERR_FAIL_COND_V(!is_valid(), String());
	ERR_FAIL_COND_V_MSG(p_offset < 0, String(), "RegEx sub offset must be >= 0");
	std::string subject = to_utf8(p_subject, p_end);
	size_t start = byte_of_char(subject, p_offset);
	CharString repl = p_replacement.utf8();
	uint32_t flags = PCRE2_SUBSTITUTE_OVERFLOW_LENGTH | PCRE2_SUBSTITUTE_UNSET_EMPTY;
	if (p_all) {
		flags |= PCRE2_SUBSTITUTE_GLOBAL;
	}
	PCRE2_SIZE olength = subject.size() + (size_t)repl.length() + 1;
	std::string output(olength, '\0');
	int res = pcre2_substitute(as_code(_code), reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), start, flags, nullptr, nullptr,
			reinterpret_cast<PCRE2_SPTR>(repl.get_data()), (PCRE2_SIZE)repl.length(), reinterpret_cast<PCRE2_UCHAR *>(&output[0]), &olength);
	if (res == PCRE2_ERROR_NOMEMORY) {
		output.assign(olength, '\0');
		res = pcre2_substitute(as_code(_code), reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), start, flags, nullptr, nullptr,
				reinterpret_cast<PCRE2_SPTR>(repl.get_data()), (PCRE2_SIZE)repl.length(), reinterpret_cast<PCRE2_UCHAR *>(&output[0]), &olength);
	}
	if (res < 0) {
		return String();
	}
	return String::utf8(output.data(), (int64_t)olength);
}

int32_t RegEx::get_group_count() const {
	ERR_FAIL_COND_V(!is_valid(), 0);
	uint32_t count = 0;
	pcre2_pattern_info(as_code(_code), PCRE2_INFO_CAPTURECOUNT, &count);
	return (int32_t)count;
}

PackedStringArray RegEx::get_names() const {
	PackedStringArray out;
	ERR_FAIL_COND_V(!is_valid(), out);
	for (const auto &entry : named_groups(_code)) {
		out.push_back(entry.first);
	}
	return out;
}

GDHOST_REGISTER_ENGINE_CLASS(RegEx);

} // namespace godot
