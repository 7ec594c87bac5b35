// The portfolio: the program's store of pictures, one folder per picture below the portfolio
// folder, saved automatically. It owns its pictures (a doubly linked list through
// c_TesPic::previous/next); only the current picture holds pixel blocks, the others only their
// header settings. It is also every picture's file store (lazy pixel loading, layer files).
//
// A save writes all of a picture's files as one batch (temporary files renamed at the end, the
// picture header last): a failed save changes no file, keeps every dirty flag and frees nothing.
#pragma once

#include "engine/picture/cTes_PicStore.h"
#include "shell/FolderService.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class c_TesPic;
class c_TesLayer;
class cTes_PicDisplay;
class cTes_PortfolioHost;
struct s_TesPicImage;

class c_TesPortfolio : public cTes_PicStore {
  public:
    // ---- fields ----
    int8_t loadingStep = -1; // 0 or below: the loading sequence still has to run
    c_TesPic* firstPicture = nullptr;
    c_TesPic* lastPicture = nullptr;
    c_TesPic* currentPicture = nullptr;
    int32_t sourcePictureNumber = 0;
    int32_t lastViewedNumber = 0;
    uint8_t rememberLastViewed = 0;
    int32_t highestNameNumber = 0;
    int32_t highestPictureNumber = 0;
    int32_t enoughDiskSpace = 1;
    uint8_t integerFit = 0; // the editor's fit modes pick whole-number scales (the program sets it)

    // defaultWidth × defaultHeight: the screen size (new pictures, fitting).
    c_TesPortfolio(int32_t defaultWidth, int32_t defaultHeight);
    ~c_TesPortfolio() override;
    c_TesPortfolio(const c_TesPortfolio&) = delete;
    c_TesPortfolio& operator=(const c_TesPortfolio&) = delete;

    // ---- virtual operations ----
    // A picture named "Noname" of the default size with one colour layer, added and made current.
    // Null when memory runs out.
    virtual c_TesPic* CreateBlankPicture();
    virtual void OnPictureLoaded(c_TesPic& picture) {}
    virtual void GetDefaultSize(int32_t& width, int32_t& height) const;
    // Enter the portfolio / export folder (optionally creating it); CurrentFolder() is then there.
    // The export folder is entered in the process-wide folder service as well (the exporter
    // writes into its current folder).
    virtual bool EnterPortfolioFolder(bool create);
    virtual bool EnterExportFolder(bool create);
    virtual uint64_t RequiredFreeMegabytes() const { return 1024; }

    // ---- loading sequence ----
    // Called by the editor every frame; works only while the loading step is 0 or below.
    void RunLoadingSequence();
    void RestartLoading() { loadingStep = -1; }

    // ---- the store ----
    // Reads "Pfo.Head" and every picture header, numbers the pictures (duplicates, gaps) and
    // makes the stored current picture current. False when the portfolio folder cannot be made.
    bool LoadPortfolio();
    // Saves the current picture and writes "Pfo.Head". False when something could not be written.
    bool SavePortfolio();
    // See the class comment. headerOnly writes only "Pic.Head"; release frees the pixel blocks
    // after a successful save. False when a file could not be written (nothing is released then).
    bool SavePicture(c_TesPic& picture, bool headerOnly, bool release);
    // Reads the layers (when the picture has none) and their pixel files, then OnPictureLoaded.
    bool LoadPictureLayers(c_TesPic& picture);
    // Saves and releases the old current picture, loads the new one.
    void SetCurrentPicture(c_TesPic* picture);
    void SetCurrentPictureByNumber(int32_t pictureNumber);
    // Links the picture in after the current one, gives it a history store and missing numbers,
    // creates its folder. Returns the picture (owned by the portfolio from now on).
    c_TesPic* AddPicture(std::unique_ptr<c_TesPic> picture);
    // A new picture of the size, named after `name` (at most 20 characters, up to the first
    // "."), added and made current. Null when memory runs out.
    c_TesPic* CreatePicture(int32_t width, int32_t height, const char* name);
    c_TesPic* FindPicture(int32_t pictureNumber) const;
    // Refused (false) while the portfolio holds only one picture.
    bool DestroyPicture(c_TesPic* picture);
    // Enters the picture's folder, renaming it on disk first when its name or name number changed.
    bool EnterPictureFolder(c_TesPic& picture, bool create);
    int32_t PictureCount() const;
    void UpdatePictureEmptyFlag(c_TesPic& picture);
    // Empties the "Undo" folder of every picture (files only), as at shutdown.
    void ClearHistoryFiles();
    // Replace-in-place: the picture read from a file takes the old picture's place (list position,
    // numbers, history store, savepoint flag, folder) and the old picture is deleted. Layers of
    // the file without pixels take the pixel blocks of the old layers with the same ids.
    // Returns the new picture.
    c_TesPic* ReplacePicture(c_TesPic& old, s_TesPicImage& image);

    // The folder entered last.
    const std::string& CurrentFolder() const { return folders_.Current(); }
    // The folder name a picture gets: "/" + file-system form of its name + "_" + name number.
    static std::string FolderNameOf(const c_TesPic& picture);

    // ---- services ----
    void SetHost(cTes_PortfolioHost* host) { host_ = host; }
    // The editor; handed to every picture of the portfolio.
    void SetDisplay(cTes_PicDisplay* display);

    // ---- cTes_PicStore ----
    bool LoadPixels(c_TesPic& picture, const c_TesLayer& filesOf, c_TesLayer& target) override;
    bool SavePending(c_TesPic& picture) override;
    void DeleteFiles(c_TesPic& picture, const c_TesLayer& layer) override;

    // Markup texts of the loading sequence.
    static std::string BusyImportText();
    static std::string BusyLoadingText();
    static std::string DiskWarningText();

  protected:
    int32_t defaultWidth_, defaultHeight_;
    vek::FolderService folders_;

  private:
    void Link(c_TesPic* picture, c_TesPic* after);
    std::unique_ptr<c_TesPic> Unlink(c_TesPic* picture);
    void AdoptServices(c_TesPic& picture);
    bool WritePortfolioRecord();
    bool ImportFolderHasFiles();
    void RemoveStaleLayerFiles(c_TesPic& picture, const std::string& folder);
    // After loading: colour layers that can never get pixels are left out, and a picture left
    // without a colour layer gets a fresh one.
    void KeepPaintable(c_TesPic& picture, const std::string& folder);

    cTes_PortfolioHost* host_ = nullptr;
    cTes_PicDisplay* display_ = nullptr;
    std::vector<int32_t> foreignNameNumbers_; // of folders without a readable "Pic.Head"
    std::vector<c_TesPic*> needsCleanup_;     // rebuilt in place from a file with pixels
};
