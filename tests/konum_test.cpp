#include "indir/konum.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "destek/sahte_dosya.hpp"
#include "indir/dosya_sistemi_std.hpp"
#include "ortak/sistem_hatasi.hpp"

namespace velmor {
namespace {

namespace fs = std::filesystem;
using test::read_text_file;
using test::TempFolder;
using test::write_text_file;

TEST(FileNames, CarryTheVersionAndSitSideBySide) {
    const fs::path folder = fs::path("temp") / "Velmor-Kurulum";
    const fs::path setup = setup_file_path(folder, "1.4.12");
    EXPECT_EQ(setup, folder / "Velmor-Launcher-1.4.12-setup.exe");
    EXPECT_EQ(partial_file_path(setup), folder / "Velmor-Launcher-1.4.12-setup.part");
    EXPECT_EQ(partial_file_path(setup_file_path(folder, "01.002.000003")),
              folder / "Velmor-Launcher-01.002.000003-setup.part");
}

TEST(PrepareDownloadFolder, CreatesMissingFoldersThenReusesTheFolderUntouched) {
    TempFolder temp;
    const fs::path reported = temp.path() / "yok" / "Temp";  // not there yet
    StdFileSystem files(reported);

    auto folder = prepare_download_folder(files);
    ASSERT_TRUE(folder.ok()) << folder.message();
    EXPECT_EQ(folder.value(), reported / "Velmor-Kurulum");
    EXPECT_TRUE(fs::is_directory(folder.value()));

    const fs::path other_version = folder.value() / "Velmor-Launcher-1.4.11-setup.exe";
    write_text_file(other_version, "eski");
    auto again = prepare_download_folder(files);
    ASSERT_TRUE(again.ok()) << again.message();
    EXPECT_EQ(again.value(), folder.value());
    EXPECT_EQ(read_text_file(other_version), "eski");
}

TEST(PrepareDownloadFolder, JoinsOntoATrailingSeparatorWithoutDoublingIt) {
    TempFolder temp;
    StdFileSystem files(temp.path() / "");  // reported with its separator, as Windows does
    auto folder = prepare_download_folder(files);
    ASSERT_TRUE(folder.ok()) << folder.message();
    EXPECT_EQ(folder.value().native(), (temp.path() / "Velmor-Kurulum").native());
}

TEST(PrepareDownloadFolder, FailuresCarryTheSentenceAndTheErrorText) {
    TempFolder temp;
    write_text_file(temp.path() / "Velmor-Kurulum", "bir dosya");
    StdFileSystem disk(temp.path());
    auto in_the_way = prepare_download_folder(disk);
    ASSERT_FALSE(in_the_way.ok());
    EXPECT_EQ(in_the_way.message(),
              "Geçici klasör oluşturulamadı: " +
                  system_error_text(std::generic_category().message(EEXIST), EEXIST));

    test::RecordingFileSystem no_temp(disk);
    no_temp.faults.temp_folder = "Sistem geçici klasörü bildirmedi (os error 2)";
    auto unknown = prepare_download_folder(no_temp);
    ASSERT_FALSE(unknown.ok());
    EXPECT_EQ(unknown.message(),
              "Geçici klasör oluşturulamadı: Sistem geçici klasörü bildirmedi (os error 2)");
}

TEST(RemoveLeftover, DeletesReadOnlyFilesAndIgnoresWhatItCannotDelete) {
    TempFolder temp;
    StdFileSystem files(temp.path());

    const fs::path read_only = temp.path() / "Velmor-Launcher-1.4.12-setup.exe";
    write_text_file(read_only, "eski");
    fs::permissions(read_only,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    remove_leftover(files, read_only);
    EXPECT_FALSE(fs::exists(read_only));

    remove_leftover(files, temp.path() / "yok.exe");
    remove_leftover(files, temp.path() / "yok" / "yok.exe");

    const fs::path folder = temp.path() / "klasor.exe";
    fs::create_directory(folder);
    remove_leftover(files, folder);
    EXPECT_TRUE(fs::is_directory(folder));
}

}  // namespace
}  // namespace velmor
