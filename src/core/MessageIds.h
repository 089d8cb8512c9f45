// Names for the entries of the numbered message table (resources/messages.tsv).
#pragma once

namespace sw::msg {

enum : int {
    // Checking a file before it is read: PreCheckBase + the check's code.
    PreCheckBase = 9710,
    FileNotFoundCheck = 9711,
    FileWrongAttributes = 9712,
    FileZeroSize = 9713,
    FileImpossibleSize = 9714,
    FileLaterVersionCheck = 9715,
    FileNotValid = 9716,
    FileCannotOpen = 9717,

    // Loading.
    CannotLoadNoteWorthy = 9801,
    FileNotFoundQuoted = 9802,
    RescaleFontsQuestion = 9803,
    NotAStaffwrightFile = 9804,
    LaterVersionQuestion = 9805,
    WrongFileType = 9806,
    ProblemWithStave = 9807,
    ErrorInFileData = 9808,
    TooManyStavesInFile = 9809,
    FileTruncated = 9810,
    ProductName = 9811,
    FileReadFailed = 9812,

    // Saving.
    TemplateContentQuestion = 9820,
    TemplateSavedAs = 9821,
    ScoreSavedAs = 9822,
    StaveSavedAs = 9823,
    StavesSavedAs = 9824,
    WriteErrorCode = 9825,
    WriteFileNotFound = 9832,
    WriteInvalidFilename = 9833,
    WriteTooManyOpenFiles = 9834,
    WriteAccessDenied = 9835,
    WriteSharingViolation = 9836,
    WriteDiskFull = 9837,
    WriteInvalidInput = 9838,
    ProcessingErrorCode = 9839,

    // Templates.
    TemplateCaption = 9840,
    TemplateDescriptionPrompt = 9841,
    TemplateDescriptionBlank = 9842,
    TemplateNotSaved = 9843,
    TemplateOpenError = 9844,
    TemplateReadError = 9845,
    TemplateDeleteQuestion = 9846,
    TemplateDeleteFailed = 9847,
    SavePartRangeError = 9848,
    TemplatesOffHint = 9849,

    // Layout.
    CannotFitSystem = 9860,

    // The page view.
    StatusOf = 109,
    StatusSystem = 110,
    StatusStave = 112,
    StatusObjects = 113,
    StatusHeaderFooter = 131,
    HeaderPage1 = 823,
    HeaderPage2 = 824,
    HeaderPage3 = 825,
    HeaderPage4 = 826,
    HeaderPage5 = 827,
    HeaderPage6 = 828,
    WindowsLimitation = 1033,
    WindowsLimitationAdvice = 1034,
    InsufficientMemory = 938,
    PageRedrawTime = 9870,

    // Printing.
    NoPrinter = 1014,
    PrintingAborted = 1009,
    PrinterUnreadable = 951,
    CapacityWidth = 9890,
    CapacityLength = 9891,
    CapacityMargin = 9892,
    CapacityAsk = 9893,

    // Undo.
    UndoIsOff = 9880,
    UndoDepthExceeded = 9881,
    UndoConfirm = 9882,
    UndoCannotCreate = 9883,
    UndoWriteFailed = 9884,
    UndoReadFailed = 9885,
    UndoIncomplete = 9886,

    // The score model.
    StaveTooComplex = 9850,
    TooManyFonts = 9851,
};

}  // namespace sw::msg
