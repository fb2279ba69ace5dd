#include "linux/status/JsonWriter.h"

#include <gtest/gtest.h>

TEST(JsonWriter, WritesOneValidDocument)
{
    JsonWriter json;
    json.BeginObject().Key("a\"b").String("q\"\\\x1b").Key("n").Number(45.6).Key("x").Number(0.0 / 0.0);
    json.Key("list").BeginArray().Integer(-3).Bool(false).Null().OptionalString("").EndArray().EndObject();
    EXPECT_EQ(json.Text(),
              "{\"a\\\"b\":\"q\\\"\\\\\\\\x1b\",\"n\":45.6,\"x\":null,\"list\":[-3,false,null,null]}\n");
}
