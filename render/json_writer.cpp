#include "render/json_writer.h"
#include "render/escape.h"

#include <cinttypes>

JsonWriter StartJson(FILE *out) {
    JsonWriter json = {};
    json.out = out;
    json.depth = -1;
    return json;
}

// What comes before a value: a comma after an earlier item, and a new line
// for an array of one item a line.
static void BeforeValue(JsonWriter &json) {
    if (json.afterKey) {
        json.afterKey = false;
        return;
    }
    if (json.depth < 0) {
        return;
    }
    bool &hasItems = json.hasItems[json.depth];
    if (hasItems) {
        fputc(',', json.out);
    }
    if (json.onePerLine[json.depth]) {
        fputs("\n  ", json.out);
    } else if (hasItems) {
        fputc(' ', json.out);
    }
    hasItems = true;
}

static void Open(JsonWriter &json, char bracket, bool object, bool onePerLine) {
    BeforeValue(json);
    fputc(bracket, json.out);
    json.depth++;
    json.hasItems[json.depth] = false;
    json.onePerLine[json.depth] = onePerLine;
    json.inObject[json.depth] = object;
}

static void End(JsonWriter &json, char bracket) {
    if (json.depth >= 0 && json.onePerLine[json.depth] && json.hasItems[json.depth]) {
        fputc('\n', json.out);
    }
    fputc(bracket, json.out);
    json.depth--;
}

void BeginObject(JsonWriter &json) {
    Open(json, '{', true, false);
}

void EndObject(JsonWriter &json) {
    End(json, '}');
}

void BeginArray(JsonWriter &json, bool onePerLine) {
    Open(json, '[', false, onePerLine);
}

void EndArray(JsonWriter &json) {
    End(json, ']');
}

void Key(JsonWriter &json, const char *name) {
    BeforeValue(json);
    fprintf(json.out, "%s: ", JsonString(name).c_str());
    json.afterKey = true;
}

void String(JsonWriter &json, const std::string &text) {
    BeforeValue(json);
    fputs(JsonString(text).c_str(), json.out);
}

void Number(JsonWriter &json, uint64_t number) {
    BeforeValue(json);
    fprintf(json.out, "%" PRIu64, number);
}

void Bool(JsonWriter &json, bool value) {
    BeforeValue(json);
    fputs(value ? "true" : "false", json.out);
}

void Null(JsonWriter &json) {
    BeforeValue(json);
    fputs("null", json.out);
}

void Close(JsonWriter &json) {
    if (json.afterKey) {
        Null(json);
    }
    while (json.depth >= 0) {
        End(json, json.inObject[json.depth] ? '}' : ']');
    }
    fputc('\n', json.out);
}
