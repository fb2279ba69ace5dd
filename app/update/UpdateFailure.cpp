#include "app/update/UpdateFailure.h"

const char* UpdateStepName(UpdateStep step)
{
    switch (step)
    {
    case UpdateStep::VersionText:
        return "version-text";
    case UpdateStep::SignatureFile:
        return "signature-file";
    case UpdateStep::Download:
        return "download";
    case UpdateStep::Signature:
        return "signature";
    case UpdateStep::Staging:
        return "staging";
    case UpdateStep::Extract:
        return "extract";
    case UpdateStep::Installer:
        return "installer";
    case UpdateStep::None:
        break;
    }
    return "none";
}

UpdateFailure StepFailure(UpdateStep step, std::string detail, unsigned long systemError)
{
    UpdateFailure failure;
    failure.step = step;
    failure.systemError = systemError;
    failure.detail = std::move(detail);
    return failure;
}

UpdateFailure HttpStepFailure(UpdateStep step, const HttpError& error)
{
    UpdateFailure failure =
        StepFailure(step, error.detail.empty() ? "transfer failed" : error.detail, error.systemError);
    failure.httpStatus = error.httpStatus;
    return failure;
}

std::string DescribeUpdateFailure(const UpdateFailure& failure)
{
    return std::string("step=") + UpdateStepName(failure.step) +
           " http=" + std::to_string(failure.httpStatus) + " system=" + std::to_string(failure.systemError) +
           " detail=" + failure.detail;
}
