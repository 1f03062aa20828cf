#pragma once
// The image of the newest units. Types 0 and 1 are the blocks of the older units; type 3 gives
// every distinct table a 10-byte header and its own method, so blocks can travel one by one.
// A plain TTrpTab reads; TWTrpTab chooses methods for writing.
#include "encoding/directory.h"
#include "model/grouptab.h"
#include "support/data.h"

#include <cstdint>

namespace tgm {

class TTrpTab : public DATA {
public:
    static constexpr int32_t kBlockHeaderSize = 10;

    // Type 4, which packs nothing.
    TTrpTab() { reset(); }
    // Takes a directory read from the unit and makes room for its image.
    TTrpTab(uint8_t type, const ExtDirectory& directory);

    // Method (0, 1 or 9) of a table under type 3.
    virtual int32_t choose_method(const PARTAB& table) const;
    virtual ~TTrpTab() = default;

    void reset();
    void store_directory(ExtDirectory& out) const { out = directory_; }
    const ExtDirectory& directory() const { return directory_; }
    uint8_t compression_type() const { return compression_type_; }

    // Bytes of distinct table i's block (0-based); 0 for a block no layout describes.
    int32_t block_size(int32_t i) const;
    // Where distinct table i's block starts in the image.
    int32_t block_offset(int32_t i) const;
    // Image bytes that the directory implies; 0 for a directory no unit could hold.
    int32_t packed_size() const;

    void pack(const GROUPTAB& group);
    // Returns 0, or kUnknownCompression with the group untouched.
    int32_t unpack(GROUPTAB& group) const;

    uint8_t* image() { return bytes(); }
    const uint8_t* image() const { return bytes(); }
    int32_t image_size() const { return size(); }
    int32_t failures() const { return failures_; }
    // The channels of the tables that failed the last pack: bit k for channel k+1.
    uint32_t failed_channels() const { return failed_channels_; }

protected:
    void set_compression_type(uint8_t type) { compression_type_ = type; }

private:
    // Layout of table i's block body: 0, 1 or 9, or -1 when the type has no layout.
    int32_t block_method(int32_t i) const;
    int32_t unpack_block(int32_t i, PARTAB& table) const;

    uint8_t compression_type_ = 4;
    int32_t failures_ = 0;
    uint32_t failed_channels_ = 0;
    ExtDirectory directory_{};
};

} // namespace tgm
