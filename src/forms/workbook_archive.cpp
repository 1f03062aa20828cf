#include "forms/workbook_archive.h"

#include <zip.h>

namespace tgm {
namespace {

const char kBroken[] = "архив книги повреждён или обрезан";

} // namespace

WorkbookArchive::~WorkbookArchive() {
    if (zip_)
        zip_discard(zip_);
}

bool WorkbookArchive::open(std::string_view bytes, std::string& reason_utf8) {
    // An encrypted Office workbook, like the old .xls, is a compound file, not a zip archive.
    if (bytes.substr(0, 4) == std::string_view("\xD0\xCF\x11\xE0", 4)) {
        reason_utf8 = "книга зашифрована паролем или сохранена в старом формате .xls: "
                      "сохраните её без пароля как .xlsx или .ods";
        return false;
    }
    if (bytes.substr(0, 2) != "PK") {
        reason_utf8 = "это не книга .xlsx или .ods: внутри не архив zip";
        return false;
    }
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (source)
        zip_ = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (source && !zip_)
        zip_source_free(source);
    zip_error_fini(&error);
    if (!zip_) {
        reason_utf8 = kBroken;
        return false;
    }
    return true;
}

bool WorkbookArchive::has(const std::string& name) const {
    return zip_ && zip_name_locate(zip_, name.c_str(), 0) >= 0;
}

bool WorkbookArchive::read(const std::string& name, std::string& out, std::string& reason_utf8) {
    out.clear();
    const zip_int64_t index = zip_name_locate(zip_, name.c_str(), 0);
    if (index < 0) {
        reason_utf8 = "в книге нет части " + name;
        return false;
    }
    const uint64_t room = kMaxInflatedBytes - inflated_;
    zip_stat_t st;
    zip_stat_init(&st);
    const bool sized = zip_stat_index(zip_, static_cast<zip_uint64_t>(index), 0, &st) == 0 &&
                       (st.valid & ZIP_STAT_SIZE);
    const bool too_big = sized && st.size > room;
    if (sized && (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE) {
        reason_utf8 = "книга зашифрована паролем: сохраните её без пароля";
        return false;
    }
    zip_file_t* file =
        too_big ? nullptr : zip_fopen_index(zip_, static_cast<zip_uint64_t>(index), 0);
    if (!too_big && !file) {
        reason_utf8 = kBroken;
        return false;
    }
    // The size the archive states may lie: the reading itself stops at the bound.
    char chunk[1 << 16];
    bool exceeded = too_big, failed = false;
    while (file) {
        const zip_int64_t n = zip_fread(file, chunk, sizeof chunk);
        failed = n < 0;
        if (n <= 0)
            break;
        if (out.size() + static_cast<uint64_t>(n) > room) {
            exceeded = true;
            break;
        }
        out.append(chunk, static_cast<std::size_t>(n));
    }
    // Closing a member read to its end checks its CRC.
    if (file && zip_fclose(file) != 0 && !exceeded)
        failed = true;
    if (exceeded || failed) {
        out.clear();
        out.shrink_to_fit();
        reason_utf8 = failed ? std::string(kBroken)
                             : "книга больше допустимого: её части распаковываются больше чем в " +
                                   std::to_string(kMaxInflatedBytes >> 20) + " МиБ";
        return false;
    }
    inflated_ += out.size();
    return true;
}

} // namespace tgm
