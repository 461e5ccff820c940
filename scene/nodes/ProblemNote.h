// A geometry's input problem, reported to the render area once when it
// appears, not once per frame.
#pragma once

#include "scene/render/GLRenderArea.h"

#include <string>

class CVProblemNote {
public:
    void Report(CVGLRenderArea* area, const std::wstring& problem)
    {
        if (problem == mReported)
            return;
        mReported = problem;
        if (area && !problem.empty())
            area->ReportError(problem);
    }

private:
    std::wstring mReported;
};
