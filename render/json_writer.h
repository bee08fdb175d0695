// JSON written as it comes, straight to a stream: the writer keeps the
// commas and the nesting, so that a document is whole once Close is called,
// whatever was written before.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Deeper than any of the tool's documents.
inline constexpr int JSON_MAX_DEPTH = 16;

struct JsonWriter {
    FILE *out;
    int depth;
    bool hasItems[JSON_MAX_DEPTH];
    bool onePerLine[JSON_MAX_DEPTH]; // each item of an array on a line of its own
    bool inObject[JSON_MAX_DEPTH];
    bool afterKey;
};

JsonWriter StartJson(FILE *out);
void BeginObject(JsonWriter &json);
void EndObject(JsonWriter &json);
void BeginArray(JsonWriter &json, bool onePerLine = false);
void EndArray(JsonWriter &json);
// A member's name; its value follows.
void Key(JsonWriter &json, const char *name);
void String(JsonWriter &json, const std::string &text);
void Number(JsonWriter &json, uint64_t number);
void Bool(JsonWriter &json, bool value);
void Null(JsonWriter &json);
// Ends every array and object still open, then the line.
void Close(JsonWriter &json);

// A member with its value, in one call.
inline void Member(JsonWriter &json, const char *name, const std::string &text) {
    Key(json, name);
    String(json, text);
}
inline void Member(JsonWriter &json, const char *name, uint64_t number) {
    Key(json, name);
    Number(json, number);
}
inline void MemberBool(JsonWriter &json, const char *name, bool value) {
    Key(json, name);
    Bool(json, value);
}
