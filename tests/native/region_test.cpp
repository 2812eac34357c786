#include <set>
#include <string>

#include <gtest/gtest.h>

#include "region/region.h"

namespace stats {
namespace {

TEST(Region, HomeCountryIsExactlyUaUa2OrUa9) {
    for (const char* yes : {"UA", "UA2", "UA9"}) {
        EXPECT_TRUE(IsHomeCountry(yes)) << yes;
    }
    for (const char* no : {"UA0", "ua", "UA ", "UR", "", "U", "UA99", " UA"}) {
        EXPECT_FALSE(IsHomeCountry(no)) << '"' << no << '"';
    }
}

TEST(Region, LookupByKey) {
    struct Case {
        std::string call;
        const char* region; // nullptr: none
    };
    const Case cases[] = {
        {"UA3ABC", "MA"}, {"R3ABC", "MA"},   {"RA3AAA", "MA"},  {"UA1AAA", "SP"},
        {"UA2FAA", "KA"}, {"UA0AAA", "KK"},  {"RZ9UA", "KE"},   {"R9AB", "CB"},
        {"RA3JAA", nullptr}, {"UA1EAA", nullptr}, {"UA9VAA", nullptr}, {"ua3abc", nullptr},
        {"Uz3ABC", nullptr}, {"Ua3ABC", "MA"},  {"UA", nullptr},   {"UA3", nullptr},
        {"R3", nullptr},  {"", nullptr},     {"R3A", "MA"},     {"UA3ABC/9", "MA"},
        {"R", nullptr},   {"RA9", nullptr},  {"R0F", "SL"},     {"RK0E", "SL"},
        {"UA4ZAA", nullptr}, {"R8V", "AB"},  {"RW0V", "AB"},    {"UA0CAA", "HK"},
        // Second bytes that pass the 0x30 test without being digits.
        {"R:3A", nullptr}, {std::string("R\x70" "3A"), nullptr}, {std::string("R\xB0" "3A"), nullptr},
        {std::string("R\xF0" "3A"), nullptr}, {std::string("R\x7F" "3A"), nullptr},
        // Bytes that fail it: the key is the third and fourth characters.
        {"R/3A", "MA"}, {std::string("R\xC0" "3A"), "MA"}, {"Ro3A", "MA"},
    };
    for (const Case& c : cases) {
        const char* got = LookupRegion(c.call);
        if (c.region == nullptr) {
            EXPECT_EQ(got, nullptr) << c.call << " gave " << got;
        } else {
            ASSERT_NE(got, nullptr) << c.call;
            EXPECT_STREQ(got, c.region) << c.call;
        }
    }
}

TEST(Region, EveryKeyOfEveryRowResolves) {
    // Each region of the table is reachable from a callsign built on its keys.
    const std::string keys = "1A1B1F1C1D1O1Q1Z1T1W1N1P2F2K8X9X2Z3Z5Z2Y3Y5Y2V3V5V2Q3Q5Q2O3O5O3K5K"
                             "2U3U5U2X3X5X2N3N5N2W3W5W2G3G5G2A3A5A2B3B5B2C3C5C2D3D5D2H3H5H3F5F"
                             "2E3E5E2S3S5S2L3L5L2R3R5R2I3I5I2P3P5P2M3M5M6Y7Y6W7W6P7P6R7R6A7A6B"
                             "7B6C7C6D7D6Q7Q6X7X6I7I6E7E6J7J6U7U6H7H6F7F7G6G6L7L6M7M6N7N4A4B2T"
                             "3T5T8W9W8S8T9S9T4S4U4F4P4Q4R8F8G9F9G4W4H4I4Y4C4D4L4M4N8Q8R9Q9R8A"
                             "8B9A9B8C8D9C9D8J9J8L9L8K9K8Z9Z8U9U8O9O8Y9Y8M8N9M9N8H8I9H9I0O0Y0W"
                             "0U0A0B0H8V0V0S0T0R0Q0L0C0J0Z0I0D0X0K0F0E";
    ASSERT_EQ(keys.size(), 213u * 2);
    std::set<std::string> regions;
    for (std::size_t i = 0; i < keys.size(); i += 2) {
        const std::string call = "R" + keys.substr(i, 2) + "AA";
        const char* region = LookupRegion(call);
        ASSERT_NE(region, nullptr) << call;
        regions.insert(region);
    }
    EXPECT_EQ(regions.size(), 86u);
}

} // namespace
} // namespace stats
