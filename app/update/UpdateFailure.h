#pragma once

#include "app/update/http/HttpError.h"

#include <string>

// Where an update stopped, carried from the step that refused to the one place that reports it
// (the log line and the notice). Pure, so the tests can name the step they expect.
enum class UpdateStep
{
    None,
    VersionText,   // the server's version text: unreachable, not a version, not the one answered
    SignatureFile, // the archive's signature could not be fetched
    Download,      // the archive could not be fetched
    Signature,     // the signature does not hold for this archive, kind and version
    Staging,       // the staging folder or the archive's file could not be made
    Extract,       // the archive could not be unpacked
    Installer,     // the installer or tool is missing from the archive or would not start
};

struct UpdateFailure
{
    UpdateStep step = UpdateStep::None;
    unsigned long httpStatus = 0;  // the server's answer, when it gave one
    unsigned long systemError = 0; // the WinINet or system code, when there is one
    std::string detail;            // short, plain text

    explicit operator bool() const { return step != UpdateStep::None; }
};

// "version-text", "signature-file", "download", "signature", "staging", "extract", "installer";
// "none" for UpdateStep::None.
const char* UpdateStepName(UpdateStep step);

UpdateFailure StepFailure(UpdateStep step, std::string detail, unsigned long systemError = 0);
UpdateFailure HttpStepFailure(UpdateStep step, const HttpError& error);

// "step=download http=404 system=0 detail=status other than 200", for the log.
std::string DescribeUpdateFailure(const UpdateFailure& failure);
