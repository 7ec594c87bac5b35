// The portfolio.
//
// Index: construction and the picture list; folders and names; loading sequence; load portfolio;
// save and load of one picture; current picture, add, create, destroy; replace-in-place; the
// picture store interface.
#include "engine/storage/c_TesPortfolio.h"

#include "engine/history/c_TesUndo.h"
#include "engine/picture/c_TesPic.h"
#include "engine/storage/cTes_PortfolioHost.h"
#include "engine/storage/c_TesLayerFiles.h"
#include "engine/storage/c_TesPicFile.h"
#include "engine/storage/c_VekFil_Disk.h"
#include "shell/MacRoman.h"

#include <algorithm>
#include <cstring>

namespace {

const char kPictureHeaderFile[] = "Pic.Head";
const char kPortfolioDataFolder[] = "Portfolio_Data";
const char kPortfolioRecordFile[] = "Pfo.Head";
constexpr uint64_t kMaxHeaderFileBytes = 1 << 20;

// Escape of the text markup: two bytes A4 then the command.
const std::string kEsc = "\xA4\xA4";

cTes_PortfolioHost& NoHost() {
    static cTes_PortfolioHost none;
    return none;
}

template <class F> void ForEachLayer(c_TesPic& pic, F f) {
    for (c_TesLayer* l = pic.bottomLayer; l; l = l->above)
        f(*l);
    if (pic.selection) f(*pic.selection);
}

bool HasLayers(const c_TesPic& pic) {
    return pic.bottomLayer || pic.selection;
}

std::string StripSlash(const std::string& s) {
    return (!s.empty() && s[0] == '/') ? s.substr(1) : s;
}

// Name and name number from a folder name: the part after the last "_" when it is all digits.
void SplitFolderName(const std::string& folder, std::string& name, int32_t& number) {
    const size_t us = folder.rfind('_');
    number = 0;
    name = folder;
    if (us == std::string::npos || us + 1 >= folder.size() || folder.size() - us - 1 > 10) return;
    int64_t v = 0;
    for (size_t i = us + 1; i < folder.size(); ++i) {
        if (folder[i] < '0' || folder[i] > '9') return;
        v = v * 10 + (folder[i] - '0');
    }
    if (v > INT32_MAX) return;
    number = static_cast<int32_t>(v);
    name = folder.substr(0, us);
}

void CopyName(char (&dst)[21], const std::string& src) {
    const size_t n = std::min<size_t>(src.size(), 20);
    std::memcpy(dst, src.data(), n);
    dst[n] = 0;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction and the picture list

c_TesPortfolio::c_TesPortfolio(int32_t defaultWidth, int32_t defaultHeight)
    : defaultWidth_(std::max(1, defaultWidth)), defaultHeight_(std::max(1, defaultHeight)) {}

c_TesPortfolio::~c_TesPortfolio() {
    while (firstPicture)
        Unlink(firstPicture);
}

void c_TesPortfolio::Link(c_TesPic* pic, c_TesPic* after) {
    pic->previous = after;
    pic->next = after ? after->next : firstPicture;
    if (pic->next) {
        pic->next->previous = pic;
    } else {
        lastPicture = pic;
    }
    if (after) {
        after->next = pic;
    } else {
        firstPicture = pic;
    }
}

std::unique_ptr<c_TesPic> c_TesPortfolio::Unlink(c_TesPic* pic) {
    if (pic->previous) {
        pic->previous->next = pic->next;
    } else {
        firstPicture = pic->next;
    }
    if (pic->next) {
        pic->next->previous = pic->previous;
    } else {
        lastPicture = pic->previous;
    }
    pic->previous = pic->next = nullptr;
    if (currentPicture == pic) currentPicture = nullptr;
    needsCleanup_.erase(std::remove(needsCleanup_.begin(), needsCleanup_.end(), pic), needsCleanup_.end());
    return std::unique_ptr<c_TesPic>(pic);
}

void c_TesPortfolio::AdoptServices(c_TesPic& pic) {
    pic.portfolio = this;
    pic.store = this;
    pic.display = display_;
}

void c_TesPortfolio::SetDisplay(cTes_PicDisplay* display) {
    display_ = display;
    for (c_TesPic* p = firstPicture; p; p = p->next)
        p->display = display;
}

int32_t c_TesPortfolio::PictureCount() const {
    int32_t n = 0;
    for (const c_TesPic* p = firstPicture; p; p = p->next)
        ++n;
    return n;
}

c_TesPic* c_TesPortfolio::FindPicture(int32_t number) const {
    if (number == 0) return nullptr;
    for (c_TesPic* p = firstPicture; p; p = p->next) {
        if (p->pictureNumber == number) return p;
    }
    return nullptr;
}

void c_TesPortfolio::GetDefaultSize(int32_t& width, int32_t& height) const {
    width = defaultWidth_;
    height = defaultHeight_;
}

// ---------------------------------------------------------------------------------------------
// Folders and names

bool c_TesPortfolio::EnterPortfolioFolder(bool create) {
    return folders_.GoTo(1) && folders_.Enter("Tessellatorium_Stuff/Portfolio", create);
}

bool c_TesPortfolio::EnterExportFolder(bool create) {
    // The exporter writes into the process-wide folder service's current folder.
    vek::FolderService& shared = vek::FolderService::Get();
    return folders_.GoTo(1) && folders_.Enter("Tessellatorium_Stuff/Export", create) && shared.GoTo(1) &&
           shared.Enter("Tessellatorium_Stuff/Export", create);
}

std::string c_TesPortfolio::FolderNameOf(const c_TesPic& pic) {
    return "/" + vek::MacRomanToFileName(pic.name, 20) + "_" + std::to_string(pic.nameNumber);
}

bool c_TesPortfolio::EnterPictureFolder(c_TesPic& pic, bool create) {
    if (pic.portfolio != this) return false;
    if (!EnterPortfolioFolder(create)) return false;
    const std::string base = folders_.Current();
    std::string name = FolderNameOf(pic);
    const std::string stored = StripSlash(pic.folderName);
    if (!stored.empty() && stored != StripSlash(name)) {
        const std::string from = base + "/" + stored;
        if (c_VekFil_Disk::IsFolder(from) && !c_VekFil_Disk::Rename(from, base + "/" + StripSlash(name))) {
            // The new name is taken (or the rename failed): keep using the folder the picture is
            // in rather than mixing its files with another folder's.
            name = "/" + stored;
        }
    }
    pic.folderName = name;
    return folders_.Enter(name, create);
}

std::string c_TesPortfolio::BusyImportText() {
    return kEsc + "HL" + "Loading and converting...\rPlease wait.\r" + kEsc + "Hs" +
           "This may take several minutes, so please be patient.";
}

std::string c_TesPortfolio::BusyLoadingText() {
    return kEsc + "HL" + "Loading...\rPlease wait.";
}

std::string c_TesPortfolio::DiskWarningText() {
    const std::string red("\xFF\x00\x00", 3);
    return kEsc + "C" + red + kEsc + "WS" + kEsc + "HS" + "Warning!" + kEsc + "h" + kEsc + "w" + kEsc + "c" +
           "\rNot enough storage space\rleft for this app\rto work properly.\rPlease exit this app now.";
}

// ---------------------------------------------------------------------------------------------
// Loading sequence

bool c_TesPortfolio::ImportFolderHasFiles() {
    vek::FolderService f;
    if (!f.GoTo(1) || !f.Enter("Tessellatorium_Stuff/Import", false)) return false;
    for (const std::string& name : c_VekFil_Disk::Files(f.Current())) {
        if (name[0] != '.') return true;
    }
    return false;
}

void c_TesPortfolio::RunLoadingSequence() {
    if (loadingStep > 0) return;
    cTes_PortfolioHost& host = host_ ? *host_ : NoHost();
    const int32_t count = PictureCount();
    uint64_t freeBytes = 0;
    if (EnterPortfolioFolder(true)) freeBytes = c_VekFil_Disk::FreeBytes(folders_.Current());
    enoughDiskSpace = freeBytes >= RequiredFreeMegabytes() * uint64_t(1048576) ? 1 : 0;

    bool importing = false;
    if (enoughDiskSpace && host.ImporterIdle()) {
        host.FinishImportRun();
        if (ImportFolderHasFiles()) {
            host.PostBusyMessage(BusyImportText());
            importing = true;
        }
    }
    if (!importing && count == 0) host.PostBusyMessage(BusyLoadingText());

    if (loadingStep == 0) {
        if (count == 0) LoadPortfolio();
        if (enoughDiskSpace) {
            host.ProcessImportFolder();
        } else {
            host.ShowDiskWarning(DiskWarningText());
        }
        // Pictures but none current would leave the editor and the tools without a picture.
        if (firstPicture && !currentPicture) SetCurrentPicture(firstPicture);
        if (currentPicture) {
            LoadPictureLayers(*currentPicture);
        } else if (!firstPicture && CreateBlankPicture()) {
            SavePortfolio(); // the first picture and "Pfo.Head" exist on disk from the start
        }
        if (currentPicture) currentPicture->RedrawAll();
    }
    ++loadingStep;
}

// ---------------------------------------------------------------------------------------------
// Load portfolio

bool c_TesPortfolio::LoadPortfolio() {
    if (!EnterPortfolioFolder(true) || !folders_.Enter(kPortfolioDataFolder, true)) return false;
    int32_t storedCurrent = 0, storedHighest = 0;
    {
        vek::MemBlock data;
        if (c_VekFil_Disk::ReadWhole(folders_.PathOf(kPortfolioRecordFile), data, 4096)) {
            c_VekFil_ChunkReader r(data.Data(), data.Size());
            if (const c_VekFil_Chunk* c = r.Ok() ? r.Find(0x20001, 16) : nullptr) {
                storedCurrent = static_cast<int32_t>(std::min<uint32_t>(c->U32(8), INT32_MAX));
                storedHighest = static_cast<int32_t>(std::min<uint32_t>(c->U32(12), INT32_MAX));
            }
        }
    }

    // Every visible folder with a readable picture header is a picture.
    if (!EnterPortfolioFolder(false)) return false;
    const std::string base = folders_.Current();
    foreignNameNumbers_.clear();
    std::vector<c_TesPic*> found;
    for (const std::string& folder : c_VekFil_Disk::VisibleFolders(base)) {
        std::string name;
        int32_t number = 0;
        SplitFolderName(folder, name, number);
        vek::MemBlock data;
        std::unique_ptr<c_TesPic> pic;
        if (c_VekFil_Disk::ReadWhole(base + "/" + folder + "/" + kPictureHeaderFile, data,
                                     kMaxHeaderFileBytes)) {
            pic = c_TesPicFile::ReadPictureHeader(data.Data(), data.Size());
        }
        if (!pic) {
            // Left alone on disk; its name number stays taken so no picture moves into it.
            if (number > 0) foreignNameNumbers_.push_back(number);
            continue;
        }
        pic->folderName = "/" + folder;
        CopyName(pic->name, vek::FileNameToMacRoman(name));
        pic->nameNumber = number;
        AdoptServices(*pic);
        c_TesPic* p = pic.release();
        Link(p, lastPicture);
        found.push_back(p);
    }

    highestNameNumber = 0;
    highestPictureNumber = storedHighest;
    for (int32_t n : foreignNameNumbers_)
        highestNameNumber = std::max(highestNameNumber, n);
    for (c_TesPic* p = firstPicture; p; p = p->next) {
        highestNameNumber = std::max(highestNameNumber, p->nameNumber);
        highestPictureNumber = std::max(highestPictureNumber, p->pictureNumber);
    }

    // The first picture in list order keeps a contested number.
    for (c_TesPic* p = firstPicture; p; p = p->next) {
        for (c_TesPic* q = firstPicture; q; q = q->next) {
            if (q == p) continue;
            if (p->nameNumber != 0 && q->nameNumber == p->nameNumber) q->nameNumber = 0;
            if (p->pictureNumber != 0 && q->pictureNumber == p->pictureNumber) q->pictureNumber = 0;
        }
    }
    for (c_TesPic* p = firstPicture; p; p = p->next) {
        if (p->nameNumber == 0) {
            p->nameNumber = ++highestNameNumber;
            p->pictureNumber = ++highestPictureNumber;
            p->headerDirty = 1;
        } else if (p->pictureNumber == 0) {
            p->pictureNumber = ++highestPictureNumber;
            p->headerDirty = 1;
        }
    }
    // Each picture gets its history store now that its folder name is settled (creating the
    // store empties the picture's "Undo" folder).
    for (c_TesPic* p : found)
        p->history = std::make_unique<c_TesUndo>(p);

    for (c_TesPic* p = firstPicture; p; p = p->next) {
        if (!p->headerDirty) continue;
        SetCurrentPicture(p);
        UpdatePictureEmptyFlag(*p);
        p->headerDirty = 1;
        SavePicture(*p, true, false);
    }

    // Close one gap in the name numbers: the holder of the highest moves down into it.
    if (highestNameNumber >= 2) {
        auto used = [&](int32_t k) {
            if (std::find(foreignNameNumbers_.begin(), foreignNameNumbers_.end(), k) !=
                foreignNameNumbers_.end())
                return true;
            for (c_TesPic* p = firstPicture; p; p = p->next)
                if (p->nameNumber == k) return true;
            return false;
        };
        int32_t k = 1;
        while (used(k))
            ++k;
        c_TesPic* holder = nullptr;
        for (c_TesPic* p = firstPicture; p; p = p->next)
            if (p->nameNumber == highestNameNumber) holder = p;
        if (k < highestNameNumber && holder) {
            holder->nameNumber = k;
            highestNameNumber = 0;
            for (int32_t n : foreignNameNumbers_)
                highestNameNumber = std::max(highestNameNumber, n);
            for (c_TesPic* p = firstPicture; p; p = p->next)
                highestNameNumber = std::max(highestNameNumber, p->nameNumber);
            SetCurrentPicture(holder);
            holder->headerDirty = 1;
            SavePicture(*holder, true, false);
        }
    }

    if (currentPicture && currentPicture->pictureNumber != storedCurrent) {
        SavePicture(*currentPicture, false, true);
        currentPicture = nullptr;
    }
    if (!currentPicture) SetCurrentPictureByNumber(storedCurrent);
    SavePortfolio();
    return true;
}

bool c_TesPortfolio::WritePortfolioRecord() {
    if (!EnterPortfolioFolder(true) || !folders_.Enter(kPortfolioDataFolder, true)) return false;
    uint8_t rec[40] = {};
    auto put = [&](int at, uint32_t v) { std::memcpy(rec + at, &v, 4); };
    put(0, 40);
    put(4, 0x20001);
    put(16, currentPicture ? static_cast<uint32_t>(currentPicture->pictureNumber) : 0);
    put(20, static_cast<uint32_t>(highestPictureNumber));
    return c_VekFil_Disk::WriteWhole(folders_.PathOf(kPortfolioRecordFile), rec, sizeof rec);
}

bool c_TesPortfolio::SavePortfolio() {
    if (!currentPicture) return true;
    const bool saved = SavePicture(*currentPicture, false, false);
    return WritePortfolioRecord() && saved;
}

// ---------------------------------------------------------------------------------------------
// Save and load of one picture

void c_TesPortfolio::UpdatePictureEmptyFlag(c_TesPic& pic) {
    if (pic.bottomLayer) pic.IsEmpty();
}

bool c_TesPortfolio::SavePicture(c_TesPic& pic, bool headerOnly, bool release) {
    UpdatePictureEmptyFlag(pic);
    if (release) pic.ReleaseDisplay();
    if (!EnterPictureFolder(pic, true)) return false;
    const std::string folder = folders_.Current();

    std::vector<c_TesLayer*> expanded;
    ForEachLayer(pic, [&](c_TesLayer& l) {
        if (l.HasPixels() && !l.compacted) expanded.push_back(&l);
    });
    // Layers compacted for writing are expanded again, unless they are being released.
    auto reexpand = [&](bool saved) {
        if (saved && release && !headerOnly) return;
        for (c_TesLayer* l : expanded)
            l->SetCompact(false);
    };

    c_VekFil_Batch batch;
    bool ok = true;
    if (!headerOnly) {
        ForEachLayer(pic, [&](c_TesLayer& l) {
            if (ok) ok = c_TesLayerFiles::SaveFiles(l, folder, batch);
        });
    }
    const bool writeHeader = pic.headerDirty != 0;
    if (ok && writeHeader) {
        // A picture whose layers were never read keeps the layer list its header has on disk.
        s_TesPicHeaderInfo keep;
        bool keepList = false;
        if (!HasLayers(pic)) {
            vek::MemBlock old;
            if (c_VekFil_Disk::ReadWhole(folder + "/" + kPictureHeaderFile, old, kMaxHeaderFileBytes) &&
                c_TesPicFile::ReadPictureHeader(old.Data(), old.Size(), &keep)) {
                keepList = true;
            }
        }
        vek::MemBlock head;
        ok = c_TesPicFile::WritePortfolioHeader(pic, head, keepList ? &keep : nullptr) &&
             batch.Add(folder + "/" + kPictureHeaderFile, head.Data(), head.Size());
    }
    if (ok) ok = batch.Commit();
    if (!ok) {
        reexpand(false);
        return false;
    }
    if (writeHeader) pic.headerDirty = 0;
    if (!headerOnly) {
        ForEachLayer(pic, [&](c_TesLayer& l) { c_TesLayerFiles::FinishSave(l, release); });
        auto it = std::find(needsCleanup_.begin(), needsCleanup_.end(), &pic);
        if (it != needsCleanup_.end()) {
            RemoveStaleLayerFiles(pic, folder);
            needsCleanup_.erase(it);
        }
    }
    reexpand(true);
    return true;
}

void c_TesPortfolio::RemoveStaleLayerFiles(c_TesPic& pic, const std::string& folder) {
    for (const std::string& name : c_VekFil_Disk::Files(folder)) {
        int32_t id = 0;
        if (!c_TesLayerFiles::ParseFileName(name, id)) continue;
        const bool inUse = pic.FindLayer(id) || (pic.selection && pic.selection->id == id);
        if (!inUse) c_VekFil_Disk::Delete(folder + "/" + name);
    }
}

bool c_TesPortfolio::LoadPictureLayers(c_TesPic& pic) {
    std::string folder;
    if (EnterPictureFolder(pic, false)) {
        folder = folders_.Current();
        pic.hasSavepoint = c_VekFil_Disk::IsFolder(folder + "/Savepoints") ? 1 : 0;
        c_VekFil_Disk::DeleteStrayTemporaries(folder);
    } else {
        pic.hasSavepoint = 0;
    }

    // A picture with layers in memory or on disk (not one just being created).
    bool stored = !folder.empty() && HasLayers(pic);
    if (!folder.empty() && !HasLayers(pic)) {
        vek::MemBlock data;
        s_TesPicHeaderInfo info;
        if (c_VekFil_Disk::ReadWhole(folder + "/" + kPictureHeaderFile, data, kMaxHeaderFileBytes) &&
            c_TesPicFile::ReadPictureHeader(data.Data(), data.Size(), &info)) {
            stored = true;
            c_TesLayer* previous = nullptr;
            std::vector<int32_t> seen;
            for (int32_t id : info.ids) {
                if (std::find(seen.begin(), seen.end(), id) != seen.end()) continue;
                std::unique_ptr<c_TesLayer> layer = c_TesLayerFiles::LoadHeader(folder, id);
                // A layer that does not cover the picture could not be painted safely.
                if (!layer || layer->fullWidth != pic.width || layer->fullHeight != pic.height) continue;
                seen.push_back(id);
                pic.layerCounter = std::max(pic.layerCounter, id);
                layer->picture = &pic;
                if (layer->type == 6) {
                    if (!pic.selection)
                        pic.selection.reset(static_cast<cTes_Layer_Selection*>(layer.release()));
                    continue;
                }
                c_TesLayer* l = layer.release();
                l->below = previous;
                if (previous) {
                    previous->above = l;
                } else {
                    pic.bottomLayer = l;
                }
                previous = l;
            }
            pic.topLayer = previous;
            if (pic.bottomLayer) pic.RecomputeEnds(pic.bottomLayer);
            c_TesLayer* current = info.currentId ? pic.FindLayer(info.currentId) : nullptr;
            if (!current) current = pic.topLayer;
            // Choosing the layer that was current changes nothing to save, and a layer stored
            // hidden stays hidden.
            const uint8_t dirty = pic.headerDirty;
            const int32_t visible = current ? current->visible : 1;
            const uint8_t layerDirty = current ? current->headerDirty : 0;
            pic.currentLayer = nullptr;
            pic.SetCurrent(current);
            if (current) {
                current->visible = visible;
                current->headerDirty = layerDirty;
            }
            pic.headerDirty = dirty;
        }
    }

    const int64_t thumbBytes = int64_t(pic.thumbWidth) * pic.thumbHeight * 4;
    ForEachLayer(pic, [&](c_TesLayer& l) {
        if (!l.HasPixels() && l.bytesPerChannel != 0) {
            if (folder.empty() || !c_TesLayerFiles::LoadPixels(folder, l, l)) l.bytesPerChannel = 0;
        }
        if (l.HasPixels() && (l.type == 3 || l.type == 5)) l.SetCompact(false);
        if (&l == pic.selection.get()) return;
        if (l.thumbnail.Size() != static_cast<size_t>(thumbBytes)) {
            l.thumbnail.Free();
            if (l.HasPixels()) l.UpdateThumbnail();
        }
        l.UploadThumbnail();
    });
    if (stored) KeepPaintable(pic, folder);

    OnPictureLoaded(pic);
    if (pic.currentLayer) pic.currentLayer->SetCompact(false);
    if (pic.selection) pic.selection->SetCompact(false);
    return true;
}

void c_TesPortfolio::KeepPaintable(c_TesPic& pic, const std::string& folder) {
    // A colour layer whose pixel file is missing or damaged could never be painted; it is left out
    // like an unreadable header, its files untouched. One whose file looks whole stays (its read
    // may only have run short of memory).
    for (c_TesLayer* l = pic.bottomLayer; l;) {
        c_TesLayer* next = l->above;
        const int64_t whole = int64_t(l->width) * l->height * 16;
        if (l->type == 1 && !l->HasPixels() &&
            c_VekFil_Disk::FileSize(folder + "/" + c_TesLayerFiles::MapFileName(l->id)) != whole) {
            delete l;
            pic.RecomputeEnds(next ? next : pic.topLayer);
            pic.headerDirty = 1;
        }
        l = next;
    }
    // Without any colour layer the tools would have nothing to paint on: a fresh one.
    bool colour = false;
    for (c_TesLayer* l = pic.bottomLayer; l; l = l->above)
        colour = colour || l->type == 1;
    if (!colour) pic.AddColourLayer();
    if (!pic.currentLayer && pic.topLayer) pic.SetCurrent(pic.topLayer);
}

// ---------------------------------------------------------------------------------------------
// Current picture, add, create, destroy

void c_TesPortfolio::SetCurrentPicture(c_TesPic* pic) {
    if (!pic || pic == currentPicture) return;
    if (rememberLastViewed) lastViewedNumber = currentPicture ? currentPicture->pictureNumber : 0;
    if (currentPicture) SavePicture(*currentPicture, false, true);
    LoadPictureLayers(*pic);
    currentPicture = pic;
    rememberLastViewed = 0;
}

void c_TesPortfolio::SetCurrentPictureByNumber(int32_t number) {
    SetCurrentPicture(FindPicture(number));
}

c_TesPic* c_TesPortfolio::AddPicture(std::unique_ptr<c_TesPic> owned) {
    if (!owned) return nullptr;
    c_TesPic* pic = owned.release();
    AdoptServices(*pic);
    if (currentPicture) {
        Link(pic, currentPicture);
    } else {
        Link(pic, lastPicture);
        currentPicture = pic;
    }
    if (pic->nameNumber == 0) {
        do {
            ++highestNameNumber;
        } while (std::find(foreignNameNumbers_.begin(), foreignNameNumbers_.end(), highestNameNumber) !=
                 foreignNameNumbers_.end());
        pic->nameNumber = highestNameNumber;
        pic->headerDirty = 1;
        EnterPictureFolder(*pic, true);
    }
    if (pic->pictureNumber == 0) {
        pic->pictureNumber = ++highestPictureNumber;
        pic->headerDirty = 1;
    }
    pic->history = std::make_unique<c_TesUndo>(pic);
    return pic;
}

c_TesPic* c_TesPortfolio::CreatePicture(int32_t width, int32_t height, const char* name) {
    const bool wasEmpty = firstPicture == nullptr;
    if (!currentPicture && lastPicture) currentPicture = lastPicture;
    auto pic = std::make_unique<c_TesPic>(width, height);
    std::string n = name ? name : "";
    n = n.substr(0, std::min(n.find('.'), size_t(20)));
    if (n.empty()) {
        pic->SetName(nullptr);
    } else {
        CopyName(pic->name, n);
    }
    c_TesPic* added = AddPicture(std::move(pic));
    if (!wasEmpty) SetCurrentPicture(added);
    return added;
}

c_TesPic* c_TesPortfolio::CreateBlankPicture() {
    int32_t w, h;
    GetDefaultSize(w, h);
    c_TesPic* previous = currentPicture;
    c_TesPic* pic = CreatePicture(w, h, "Noname");
    if (pic && pic->AddColourLayer()) return pic;
    if (pic) {
        // Out of memory: a picture without a layer must not stay in the store.
        if (EnterPictureFolder(*pic, false)) {
            const std::string folder = folders_.Current();
            c_VekFil_Disk::DeleteFilesIn(folder);
            c_VekFil_Disk::RemoveFolder(folder);
        }
        Unlink(pic);
        if (previous && previous != pic) SetCurrentPicture(previous);
    }
    return nullptr;
}

bool c_TesPortfolio::DestroyPicture(c_TesPic* pic) {
    if (!pic || pic->portfolio != this || PictureCount() <= 1) return false;
    if (pic->history) {
        pic->history->ClearFiles(true);
        pic->history->SavepointCommand(3);
    }
    if (sourcePictureNumber == pic->pictureNumber) sourcePictureNumber = 0;
    if (lastViewedNumber == pic->pictureNumber) lastViewedNumber = 0;
    std::string folder;
    if (EnterPictureFolder(*pic, false)) folder = folders_.Current();
    c_TesPic* neighbour = pic->next ? pic->next : pic->previous;
    const bool wasCurrent = pic == currentPicture;
    std::unique_ptr<c_TesPic> owned = Unlink(pic);
    owned->history.reset();
    if (wasCurrent) SetCurrentPicture(neighbour);
    if (!folder.empty()) {
        c_VekFil_Disk::DeleteFilesIn(folder);
        c_VekFil_Disk::RemoveFolder(folder);
    }
    return true;
}

void c_TesPortfolio::ClearHistoryFiles() {
    for (c_TesPic* p = firstPicture; p; p = p->next) {
        if (p->history) p->history->ClearFiles(false);
    }
}

// ---------------------------------------------------------------------------------------------
// Replace-in-place

c_TesPic* c_TesPortfolio::ReplacePicture(c_TesPic& old, s_TesPicImage& image) {
    if (!image.picture) return nullptr;
    if (old.currentLayer) old.currentLayer->SetCompact(true);

    // Layers without pixels in the file keep the pixels of the present layer with the same id,
    // together with the rectangle those pixels cover (the file's rectangle may be older).
    auto takeOver = [](c_TesLayer& to, c_TesLayer* from) {
        if (!from || from->channels != to.channels || from->type != to.type) {
            to.bytesPerChannel = 0;
            return;
        }
        from->SetCompact(true);
        to.pixels = std::move(from->pixels);
        to.thumbnail = std::move(from->thumbnail);
        to.pixelsDirty = from->pixelsDirty;
        to.bytesPerChannel = from->bytesPerChannel;
        to.x = from->x;
        to.y = from->y;
        to.width = from->width;
        to.height = from->height;
        to.contentX = from->contentX;
        to.contentY = from->contentY;
        to.contentWidth = from->contentWidth;
        to.contentHeight = from->contentHeight;
        to.compacted = from->compacted;
        to.fullWidth = from->fullWidth;
        to.fullHeight = from->fullHeight;
        to.outsideValue = from->outsideValue;
        to.empty = from->empty;
        from->backup.Free();
        from->bytesPerChannel = 0;
    };
    std::vector<c_TesLayer*> ownPixels;
    for (std::unique_ptr<c_TesLayer>& l : image.layers) {
        l->headerDirty = 1;
        if (!l->HasPixels()) {
            takeOver(*l, l->id ? old.FindLayer(l->id) : nullptr);
        } else {
            ownPixels.push_back(l.get());
        }
    }
    if (image.selection) {
        image.selection->headerDirty = 1;
        if (!image.selection->HasPixels()) {
            c_TesLayer* from =
                old.selection && old.selection->id == image.selection->id ? old.selection.get() : nullptr;
            takeOver(*image.selection, from);
        }
    }
    const bool anyPixels = image.anyPixels;
    // The new picture is the old one's from here on (its folder too, so that the layer made
    // current can load its pixels).
    c_TesPic& incoming = *image.picture;
    AdoptServices(incoming);
    incoming.nameNumber = old.nameNumber;
    incoming.pictureNumber = old.pictureNumber;
    incoming.hasSavepoint = old.hasSavepoint;
    incoming.folderName = old.folderName;
    std::unique_ptr<c_TesPic> fresh = c_TesPicFile::Assemble(image, true);
    if (!fresh) return nullptr;
    c_TesPic* pic = fresh.release();
    for (c_TesLayer* l : ownPixels)
        l->UpdateThumbnail();
    if (pic->bottomLayer) pic->RecomputeEnds(pic->bottomLayer);

    pic->history = std::move(old.history);
    if (pic->history) pic->history->SetPicture(pic);
    pic->headerDirty = 1;

    Link(pic, &old);
    const bool wasCurrent = currentPicture == &old;
    for (c_TesPic*& p : needsCleanup_) {
        if (p == &old) p = pic;
    }
    Unlink(&old); // deletes the old picture
    if (wasCurrent) currentPicture = pic;
    // The file brought its own pixels: every layer is saved anew and files of layers the picture
    // no longer has are removed after that save succeeded.
    if (anyPixels && std::find(needsCleanup_.begin(), needsCleanup_.end(), pic) == needsCleanup_.end()) {
        needsCleanup_.push_back(pic);
    }
    EnterPictureFolder(*pic, true);
    pic->RedrawAll();
    return pic;
}

// ---------------------------------------------------------------------------------------------
// The picture store interface

bool c_TesPortfolio::LoadPixels(c_TesPic& pic, const c_TesLayer& filesOf, c_TesLayer& target) {
    if (target.HasPixels()) return true;
    if (EnterPictureFolder(pic, false) && c_TesLayerFiles::LoadPixels(folders_.Current(), filesOf, target)) {
        return true;
    }
    target.bytesPerChannel = 0; // missing or damaged: the layer has no pixels, and is not asked again
    return false;
}

bool c_TesPortfolio::SavePending(c_TesPic& pic) {
    return SavePicture(pic, false, false);
}

void c_TesPortfolio::DeleteFiles(c_TesPic& pic, const c_TesLayer& layer) {
    if (!EnterPictureFolder(pic, false)) return;
    c_TesLayerFiles::DeleteFiles(folders_.Current(), layer.id);
}
