#pragma once
// Base of the packed images of the K units: a group of tables stored once per distinct table,
// block after block, with a directory that travels apart from the image.
#include "encoding/directory.h"
#include "model/grouptab.h"
#include "support/data.h"

#include <cstdint>
#include <span>

namespace tgm {

class FTAB : public DATA {
public:
    FTAB() { reset(); }

    // Encodes one table at the cursor and moves the cursor past its block.
    virtual void pack_table(uint8_t*& cursor, const PARTAB& table) = 0;
    // Decodes the table (already resized) from the front of the cursor and moves the cursor
    // past its block; returns 0, or kUnknownCompression when the bytes cannot describe it.
    virtual int32_t unpack_table(std::span<const uint8_t>& cursor, PARTAB& table) const = 0;
    // Repacks another image's group here; returns its unpack code, this image unchanged on one.
    virtual int32_t convert_from(const FTAB& other);
    virtual bool same_as(const FTAB& other) const;
    virtual void pack(const GROUPTAB& group);
    // Returns 0, or kUnknownCompression with the group untouched.
    virtual int32_t unpack(GROUPTAB& group) const;
    // Image bytes that the directory implies; 0 for a directory no unit could hold.
    virtual int32_t packed_size() const = 0;
    virtual ~FTAB() = default;

    void reset();
    // Takes a directory read from the unit and makes room for its image.
    void load_directory(const Directory& dir);
    void store_directory(Directory& out) const { out = directory_; }
    const Directory& directory() const { return directory_; }
    uint8_t* image() { return bytes(); }
    const uint8_t* image() const { return bytes(); }
    int32_t image_size() const { return size(); }
    // Distinct tables that did not fit the layout in the last pack.
    int32_t failures() const { return failures_; }
    // The channels of those tables: bit k for channel k+1.
    uint32_t failed_channels() const { return failed_channels_; }

protected:
    void add_failure() { ++failures_; }

private:
    int32_t failures_ = 0;
    uint32_t failed_channels_ = 0;
    Directory directory_{};
};

} // namespace tgm
