#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/wayland/VirtualKeymap.h"

namespace velora::wayland {
namespace {

// What a client does with the uploaded map: compiles the text and reads the keysym of a key
// under a modifier state.
class ClientView {
public:
    explicit ClientView(const std::string& text)
        : context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS), xkb_context_unref),
          keymap_(
              xkb_keymap_new_from_string(context_.get(), text.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1,
                                         XKB_KEYMAP_COMPILE_NO_FLAGS),
              xkb_keymap_unref) {}

    bool valid() const { return keymap_ != nullptr; }

    xkb_keysym_t symOf(const KeyChord& chord) const {
        std::unique_ptr<xkb_state, decltype(&xkb_state_unref)> state(xkb_state_new(keymap_.get()),
                                                                     xkb_state_unref);
        xkb_state_update_mask(state.get(), chord.modifiers, 0, 0, 0, 0, 0);
        return xkb_state_key_get_one_sym(state.get(), chord.keycode);
    }

private:
    std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context_;
    std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> keymap_;
};

// A Unicode keysym for a code point, as text gives them.
uint32_t unicode(char32_t cp) {
    return 0x01000000 | static_cast<uint32_t>(cp);
}

TEST(VirtualKeymapTest, BaseMapHasNamedKeysModifiersAndMediaKeysAsClientsSeeThem) {
    VirtualKeymap keymap;
    ASSERT_TRUE(keymap.valid());
    const ClientView client(keymap.text());
    ASSERT_TRUE(client.valid());
    const xkb_mod_mask_t shift = keymap.modifierMask(XKB_MOD_NAME_SHIFT);
    ASSERT_NE(shift, 0u);
    const struct {
        xkb_keysym_t sym;
        bool shifted;
    } cases[] = {
        {XKB_KEY_Return, false},
        {XKB_KEY_F5, false},
        {XKB_KEY_Next, false},
        {XKB_KEY_BackSpace, false},
        {XKB_KEY_Control_L, false},
        {XKB_KEY_Shift_L, false},
        {XKB_KEY_Alt_L, false},
        {XKB_KEY_Super_L, false},
        {XKB_KEY_Print, false},
        {XKB_KEY_XF86AudioPlay, false},
        {XKB_KEY_XF86AudioRaiseVolume, false},
        {XKB_KEY_XF86AudioMute, false},
        {XKB_KEY_a, false},
        {XKB_KEY_A, true},
        {XKB_KEY_exclam, true},
        {XKB_KEY_asciitilde, true},
    };
    for (const auto& c : cases) {
        const auto chord = keymap.find(c.sym);
        ASSERT_TRUE(chord) << c.sym;
        EXPECT_LE(chord->keycode, 255u) << c.sym;
        EXPECT_EQ(chord->modifiers, c.shifted ? shift : 0u) << c.sym;
        EXPECT_EQ(client.symOf(*chord), c.sym) << c.sym;
    }
    EXPECT_FALSE(keymap.find(unicode(U'é')));
    EXPECT_GT(keymap.spareKeyCount(), 8u);
}

TEST(VirtualKeymapTest, MissingKeysymsAreBoundInOneChangeAndKeptForLaterLines) {
    VirtualKeymap keymap;
    const std::vector<uint32_t> line = {XKB_KEY_h, unicode(U'é'), unicode(U'한'), unicode(U'😀'),
                                        unicode(U'é')};
    EXPECT_TRUE(keymap.bindMissing(line));
    EXPECT_EQ(keymap.bindingCount(), 3u);
    const ClientView client(keymap.text());
    ASSERT_TRUE(client.valid());
    for (const uint32_t sym : line) {
        const auto chord = keymap.find(sym);
        ASSERT_TRUE(chord) << sym;
        EXPECT_LE(chord->keycode, 255u);
        EXPECT_EQ(client.symOf(*chord), sym);
    }
    // A later line with the same characters needs no new map.
    EXPECT_FALSE(keymap.bindMissing(line));
}

TEST(VirtualKeymapTest, TheLeastRecentlyUsedBindingMakesWayAndOneLineNeverDisplacesItself) {
    VirtualKeymap keymap;
    const size_t spare = keymap.spareKeyCount();
    std::vector<uint32_t> first;
    for (size_t i = 0; i < spare; ++i) first.push_back(unicode(0x4E00 + static_cast<char32_t>(i)));
    ASSERT_TRUE(keymap.bindMissing(first));
    ASSERT_EQ(keymap.bindingCount(), spare);
    // Used again, the first binding is now the most recent; the second is the oldest.
    ASSERT_TRUE(keymap.find(first[0]));
    const uint32_t fresh = unicode(U'Ж');
    EXPECT_TRUE(keymap.bindMissing(std::vector<uint32_t>{fresh}));
    EXPECT_TRUE(keymap.find(first[0]));
    EXPECT_FALSE(keymap.find(first[1]));
    EXPECT_TRUE(keymap.find(fresh));

    // A line with more new keysyms than spare keys gets keys for as many as there are, and
    // those are all of its own.
    std::vector<uint32_t> big;
    for (size_t i = 0; i < spare + 5; ++i)
        big.push_back(unicode(0xAC00 + static_cast<char32_t>(i)));
    EXPECT_TRUE(keymap.bindMissing(big));
    size_t bound = 0;
    for (const uint32_t sym : big) bound += keymap.find(sym).has_value();
    EXPECT_EQ(bound, spare);
    EXPECT_TRUE(keymap.find(big.front()));
    EXPECT_FALSE(keymap.find(big.back()));
    const ClientView client(keymap.text());
    EXPECT_EQ(client.symOf(*keymap.find(big.front())), big.front());
}

}  // namespace
}  // namespace velora::wayland
