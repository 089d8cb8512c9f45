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
    PrintingCaption = 9894,
    PrintingCopyCaption = 9895,
    PreparingPage = 9896,
    PrintingPage = 9897,

    // Preview, picture export and the clipboard.
    PreviewOutlineStatus = 9900,
    SavingPcx = 9901,
    PcxAborted = 9902,
    ClipboardConfirm = 1036,
    ClipboardOverwrite = 1057,
    ClipboardSaved = 757,
    ClipboardFailed = 1035,

    // Page setup, stave size, headers and footers, favourite fonts.
    BadNumericFormat = 928,
    LoadLargestPage = 998,
    SaveValuesAnyway = 709,
    WidthIncreased = 1004,
    SpreadObjects = 10041,
    ObjectsFallOff = 1005,
    BitmapFailedOldRetained = 996,
    StaveHeightInches = 192,
    StaveHeightMm = 193,
    StaveSizeTooSmall = 910,
    ResetToOldValue = 911,
    NoHeaderFooter = 1048,
    NoHeaderFooterAdvice = 1049,
    ChangeFontUses = 1055,
    DescriptionOfUse = 212,
    MarginsTooLong = 9910,
    MarginsTooWide = 9911,
    PleaseFix = 9912,
    BadSizeFormat = 9913,
    StaveSizeOutOfRange = 9914,
    PageSetupCaption = 9915,
    ThisScorePageSetup = 9916,
    DefaultPageSetup = 9917,
    PrintableWidth = 9918,
    PrintableHeight = 9919,
    NoNameGiven = 9920,
    FavouriteFontPrompt = 9921,

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
