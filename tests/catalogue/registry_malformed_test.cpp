// Defensive reading: data that is not what its type promises, very large values, and values that
// change size while they are being read.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>

#include "catalogue/registry.h"
#include "catalogue_test_util.h"
#include "test_support.h"

using namespace ardmoor;
using test::ByteList;
using test::TestRegistryKey;
using test::Utf16Bytes;

namespace {
void SetBytes(TestRegistryKey& k, const wchar_t* name, DWORD type, const std::vector<BYTE>& data) {
    k.SetRaw(L"E", name, type, data.data(), static_cast<DWORD>(data.size()));
}
}  // namespace

// What the real registry hands back for such data, by name and by index alike, and what the layer
// makes of it (the other conversions: registry_value_test.cpp).
TEST(RegistryMalformed, DataThatIsNotWhatItsTypePromisesReadsTheSameByNameAndByIndex) {
    TestRegistryKey k;
    SetBytes(k, L"NoNul", REG_SZ, Utf16Bytes(L"abc"));
    SetBytes(k, L"Odd", REG_SZ, ByteList({'a', 0, 'b', 0, 'c'}));
    SetBytes(k, L"OneByte", REG_EXPAND_SZ, ByteList({'a'}));
    SetBytes(k, L"MultiNoNul", REG_MULTI_SZ, Utf16Bytes(L"abc"));
    SetBytes(k, L"ShortDword", REG_DWORD, ByteList({1, 1}));
    SetBytes(k, L"EmptyDword", REG_DWORD, {});
    SetBytes(k, L"Noise", REG_BINARY, ByteList({0x00, 0xd8, 0x41, 0x00, 0xff}));  // lone surrogate, odd tail
    const std::map<std::wstring, std::wstring> expected = {
        {L"NoNul", L"abc"},       {L"Odd", L"ab"},          {L"OneByte", L""}, {L"MultiNoNul", L"abc"},
        {L"ShortDword", L"257"}, {L"EmptyDword", L"0"}, {L"Noise", std::wstring{L'\xd800', L'A', L'\xff'}}};
    auto key = RegKey::Open(k.fullPath() + L"\\E");
    ASSERT_TRUE(key.ok());
    std::map<std::wstring, std::wstring> byName, byIndex;
    for (const auto& [name, text] : expected) byName[name] = key->Value(name).ok() ? key->Value(name)->Text() : L"<failed>";
    for (uint32_t i = 1; i <= key->ValueCount().value_or(0u); ++i) byIndex[key->ValueAt(i)->Name()] = key->ValueAt(i)->Text();
    EXPECT_EQ(byName, expected);
    EXPECT_EQ(byIndex, expected);
    EXPECT_EQ(key->Value(L"ShortDword")->Int32().value_or(0), 257);
    EXPECT_FALSE(key->Value(L"NoNul")->Int32().ok());
}

TEST(RegistryMalformed, FourMegabyteValues) {
    TestRegistryKey k;
    constexpr size_t kChars = 2 * 1024 * 1024;  // 4 MB of UTF-16
    std::wstring big(kChars, L'x');
    big[0] = L'<';
    big[kChars - 1] = L'>';
    SetBytes(k, L"BigString", REG_SZ, Utf16Bytes(big));  // no terminating NUL either
    std::vector<BYTE> bin(4 * 1024 * 1024 + 1, 0x5a);
    SetBytes(k, L"BigBinary", REG_BINARY, bin);
    auto key = RegKey::Open(k.fullPath() + L"\\E");
    ASSERT_TRUE(key.ok());

    auto s = key->Value(L"BigString");
    ASSERT_TRUE(s.ok()) << s.error();
    EXPECT_EQ(s->Text(), big);
    auto b = key->Value(L"BigBinary");
    ASSERT_TRUE(b.ok()) << b.error();
    const std::wstring bt = b->Text();
    EXPECT_EQ(bt.size(), bin.size() / 2 + 1);
    EXPECT_EQ(bt[0], static_cast<wchar_t>(0x5a5a));
    EXPECT_EQ(bt.back(), static_cast<wchar_t>(0x5a));
    for (uint32_t i = 1; i <= 2; ++i) {
        auto v = key->ValueAt(i);
        ASSERT_TRUE(v.ok()) << v.error();
        EXPECT_EQ(v->Text().size(), v->Name() == L"BigString" ? kChars : bin.size() / 2 + 1);
    }
}

// A writer thread cycles a value through three sizes while the layer reads it: every read must give
// one whole value (retrying on ERROR_MORE_DATA), never a torn or over-read one.
TEST(RegistryMalformed, ValueChangingSizeWhileRead) {
    TestRegistryKey k;
    const std::wstring texts[3] = {L"short", std::wstring(3000, L'M'), std::wstring(60000, L'L')};
    k.SetString(L"E", L"Flip", texts[0]);
    std::atomic<bool> stop{false};
    std::atomic<long> writes{0};
    std::thread writer([&] {
        HKEY h = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, (k.subPath() + L"\\E").c_str(), 0, KEY_SET_VALUE, &h)) return;
        for (int i = 0; !stop; ++i) {
            const std::wstring& t = texts[i % 3];
            ::RegSetValueExW(h, L"Flip", 0, REG_SZ, reinterpret_cast<const BYTE*>(t.c_str()),
                             static_cast<DWORD>((t.size() + 1) * sizeof(wchar_t)));
            ++writes;
        }
        ::RegCloseKey(h);
    });
    while (writes < 10) ::Sleep(1);
    auto key = RegKey::Open(k.fullPath() + L"\\E");
    ASSERT_TRUE(key.ok());
    int seen[3] = {0, 0, 0}, failures = 0, reads = 0;
    const ULONGLONG deadline = ::GetTickCount64() + 5000;
    while (reads < 3000 && ::GetTickCount64() < deadline) {
        auto v = (reads++ % 2) ? key->Value(L"Flip") : key->ValueAt(1);
        if (!v.ok()) {
            ++failures;  // allowed only as ERROR_MORE_DATA after many retries
            EXPECT_EQ(v.error(), ERROR_MORE_DATA);
            continue;
        }
        const std::wstring t = v->Text();
        int which = -1;
        for (int i = 0; i < 3; ++i)
            if (t == texts[i]) which = i;
        if (which < 0) {
            ADD_FAILURE() << "torn read of " << t.size() << " characters";
            break;
        }
        ++seen[which];
    }
    stop = true;
    writer.join();
    printf("reads %d: short %d, medium %d, long %d, gave up %d; writes %ld\n", reads, seen[0], seen[1], seen[2],
           failures, writes.load());
    EXPECT_LT(failures, reads);
    EXPECT_GT(seen[1] + seen[2], 0) << "the writer never got in between: the test proved nothing";
}
