#pragma once
// CProjekt: the open planning project: its file name, its project file (working copy and stored
// parts), its information and its worksheets in tree order. The root node of the project tree.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/ArbeitsblattBase.h"
#include "core/ProjektFileManager.h"
#include "core/ProjektInfo.h"
#include "core/Tree.h"

inline constexpr const char* kUnbenanntPrj = "unbenannt.prj";

class CProjekt : public ITreeEntry {
public:
    CProjekt();
    ~CProjekt() override;   // closes an open project
    CProjekt(const CProjekt&) = delete;
    CProjekt& operator=(const CProjekt&) = delete;

    // A new unnamed project in a fresh working copy with one worksheet of `type`: 0, or 5 when
    // the working copy cannot be made (nothing is open then; the file error code tells why).
    uint8_t New(uint8_t type);
    // Opens FILENAME: 0; 5 when the file is missing or cannot be opened, or when its information
    // is missing (the worksheets are loaded and the project is open all the same).
    uint8_t Load();
    // Saves under FILENAME: 0 or 5.
    uint8_t Save();
    // Releases every part and removes the working copy; their data stays in the file.
    void Close();

    bool IsOpen() const { return KILLED == 0; }
    bool IsChanged() const { return FILEMANAGER.IsChanged(); }
    bool IsUnnamed() const;
    const std::string& GetFileName() const { return FILENAME; }
    // Appends ".prj" unless the name already ends in it (any case).
    void SetFileName(const std::string& name);

    // A new worksheet of `type` at the end of the list, registered and with its initial content;
    // nullptr when no worksheet class is registered.
    CArbeitsblattBase* AddArbeitsblatt(uint8_t type);
    // Removes worksheet `index` (from 1); with deleteData its stored steps are deleted first.
    void RemoveArbeitsblatt(int32_t index, bool deleteData);
    int32_t CountArbeitsblaetter() const { return static_cast<int32_t>(ARBEITSBLAETTER.size()); }
    CArbeitsblattBase* GetArbeitsblatt(int32_t index) const;   // from 1; nullptr outside
    int32_t IndexOf(const CArbeitsblattBase* sheet) const;      // 0 when not in the project

    CProjektInfo& GetProjektInfo() { return *PROJEKTINFO; }
    CProjektFileManager& FileManager() { return FILEMANAGER; }

    // ITreeEntry
    std::string GetIcon() override { return "~projekt.ico"; }
    std::string GetText() override;
    bool IsExpanded() override { return TREESTDBEHAVIOUR.EXPANDED != 0; }
    bool ForceReset() override { return false; }
    int32_t CountEntries() override;
    void RefreshTree(int level, CTree& tree) override;
    bool AcceptsRequest(int request) override { return request == TREE_COLLAPSE || request == TREE_EXPAND; }
    uint8_t TakeRequest(int request, const std::string& text) override;

private:
    CTreeStdBehaviour TREESTDBEHAVIOUR;
    std::string FILENAME = kUnbenanntPrj;
    CProjektFileManager FILEMANAGER;
    uint8_t KILLED = 1;
    std::unique_ptr<CProjektInfo> PROJEKTINFO;
    std::vector<std::unique_ptr<CArbeitsblattBase>> ARBEITSBLAETTER;
};
