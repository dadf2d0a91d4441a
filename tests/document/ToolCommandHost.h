#pragma once
// A host for the Tools commands' tests: the part list, clean-up and hole-data dialogs answered by
// the test (none set: Cancel), project saves counted, opened files recorded.

#include "tests/document/EditFixture.h"

#include <functional>
#include <string>
#include <vector>

class ToolCommandHost : public EditHost
{
public:
    bool RunPartListDialog(PartListChoice& choice) override
    {
        offered = choice;
        return Answer(partList, choice);
    }
    bool RunCleanUpDialog(CleanUpChoice& choice) override { return Answer(cleanUp, choice); }
    bool RunHoleDataDialog(tagHOLEDATA& data, CVELTADoc& doc) override
    {
        ++holeDataRuns;
        if (!holeData)
            return false;
        holeData(data, doc);
        return true;
    }
    void SaveProjectBoards() override { ++saves; }
    void OpenTextFile(const std::string& path) override { opened.push_back(path); }

    std::function<void(PartListChoice&)> partList;
    std::function<void(CleanUpChoice&)> cleanUp;
    std::function<void(tagHOLEDATA&, CVELTADoc&)> holeData;
    PartListChoice offered;
    int holeDataRuns = 0;
    int saves = 0;
    std::vector<std::string> opened;

private:
    template <class Choice> static bool Answer(const std::function<void(Choice&)>& answer, Choice& choice)
    {
        if (!answer)
            return false;
        answer(choice);
        return true;
    }
};
