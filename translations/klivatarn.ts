<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" sourcelanguage="en">
<context>
    <name>kt::About</name>
    <message>
        <source>Programming</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stream analysis</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Artwork and icons</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Testing and support</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Information Is Unavailable At This Time</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::AboutBox</name>
    <message>
        <source>About %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click the picture to close this window.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Opens the maker&apos;s web page.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Joins MPEG-1 video and MP3 files into one, byte for byte, after checking that the pieces fit together.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copyright © %1. This program comes with no warranty; keep a copy of your sources until you have checked the packed file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;System Info...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Starts a program that describes this computer.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::AddFilesDialog</name>
    <message>
        <source>1 file here is not shown: its name is not valid UTF-8, so this program cannot open it: %1. Rename it to add it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 files here are not shown: their names are not valid UTF-8, so this program cannot open them: %2. Rename them to add them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 was not found in &apos;%2&apos;. Check the names; nothing has been added yet.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 were not found in &apos;%2&apos;. Check the names; nothing has been added yet.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::File64</name>
    <message>
        <source>Unexpected error. It may be a bug or an unexpected error has occur! Please quit and restart Vantu Kliva TARN.<byte value="xd"/>
If the problem persists, please submit a bug report immediately.<byte value="xd"/>
<byte value="xd"/>
Error %1: &apos;%2&apos;  detected.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is no open file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error opening %1!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::FileDetails</name>
    <message>
        <source>%1 x %2, %3 frames per second</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duration: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size: %1 bytes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Total duration: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (1 file of unknown duration not counted)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (%1 files of unknown duration not counted)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>
Total size: %1 bytes</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::FileDialogs</name>
    <message>
        <source>All Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(and %1 more)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::HandOver</name>
    <message>
        <source>no listener at &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a socket of this user</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no answer within %1 seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it closed the connection without an answer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it took %1 of %2 files</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::IconLoader</name>
    <message>
        <source>Invalid icon file or file does not contain 32x32 or 16x16 icon</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed to load this file</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::JoinArithmetic</name>
    <message>
        <source> hours </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> hour </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> minutes </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> minute </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> seconds </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> second </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>remaining</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::Links</name>
    <message>
        <source>&apos;%1&apos; was not found!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::ListButtonHints</name>
    <message>
        <source>Sort file(s) in ascending order.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort file(s) in ascending order</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort file(s) in descending order.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort file(s) in descending order</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select all file(s) in Pack List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deselect all file(s) in Pack List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Inverse select all file(s) in Pack List</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::Lock</name>
    <message>
        <source>a link</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;%1&apos;: owned by another user</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;%1&apos;: open to other users</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no home folder</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::MainWindow</name>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Program state</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Program state picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>BUSY</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IDLE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;%1&apos; was not found!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pack List:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pack List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The files to pack, in the order they are joined, with the video size and frame rate of each.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ascending</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort ascending</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Puts the files of the Pack List in ascending order of their paths.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>descending</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort descending</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Puts the files of the Pack List in descending order of their paths.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a</source>
        <comment>select all, one letter</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Selects every file in the Pack List.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>d</source>
        <comment>deselect all, one letter</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deselect all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clears the selection of the Pack List.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>i</source>
        <comment>inverse select, one letter</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Inverse select</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Selects the files that were not selected and deselects the others.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move selected file(s) up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move selected file(s) down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Add...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Actions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Pack</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move &amp;Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Dow&amp;n</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>De&amp;select All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Inverse Select</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort As&amp;cending</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort &amp;Descending</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;General...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save &amp;To</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Default Directory...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last &amp;Saved Directory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Overwrite</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Don&apos;t Overwrite Saved File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Ask Before Overwrite Saved File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do&amp;n&apos;t Ask Before Overwrite Saved File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Transfer &amp;Rate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Slow</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Normal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Fast</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Ultra Fast</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete After Action</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Don&apos;t Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Ask Before Sending To Recycle Bin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do&amp;n&apos;t Ask Before Sending To Recycle Bin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;MPEG Compatibility</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Seamless Join</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Status Bar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vantu Kliva &amp;Help Topics</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tip of the Day</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Technical &amp;Support</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Websites</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vantu Kliva TARN Webpage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vantu Kliva Webpage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vantu Kliva FAQ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About Vantu Kliva TARN...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing to view.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::MpegCheck</name>
    <message>
        <source>%1 is not a valid MPEG file.<byte value="xd"/>
<byte value="xd"/>
Proceed packing and ignore invalid Mpeg error?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::OutputFile</name>
    <message>
        <source>a character device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a block device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a pipe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a socket</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a file of the kernel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a folder</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::PackList</name>
    <message>
        <source>1 file was not added: its name is not valid UTF-8, so this program cannot open it:

%1

Rename it and add it again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 files were not added: their names are not valid UTF-8, so this program cannot open them:

%2

Rename them and add them again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Files... (multiple selection possible)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing to swap.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing to sort.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::PackListModel</name>
    <message>
        <source>Filename</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Video Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Frame Rate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not available</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::PackTexts</name>
    <message>
        <source>Nothing to pack.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>At least 2 files are required for packing.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking available freespace...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Verifying mpeg compatibility...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not compatible for Klivaing. Proceed packing and ignore Mpeg Compatibility error?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not enough free diskspace. Packing aborted!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot pack %1 which is a 0 byte file. Packing aborted!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot pack Save As file!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 was not found! Packing aborted!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The requested file was not closed properly! Try again later!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kliva cannot pack %1 due to excess number of file handling. Possible solution is to move the file elsewhere other than the root directory.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot overwrite %1. Disk full/write-protected or file is in use.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is a hidden file. Packing aborted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Packing aborted by user</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unexpected error. It may be a bug or an unexpected error has occur! Please quit and restart Vantu Kliva TARN. If the error persist, please submit a bug report immediately.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unexpected error. It may be a bug or an unexpected error has occur! Please quit and restart Vantu Kliva TARN.<byte value="xd"/>
If the problem persists, please submit a bug report immediately.<byte value="xd"/>
<byte value="xd"/>
Error number %1 detected.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 successfully packed! Total filesize is %2 bytes.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write to %1: %2.<byte value="xd"/>
<byte value="xd"/>
Retry writes the same block again; Cancel stops packing and leaves the part written so far.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot save %1 to disk: %2. Packing aborted! The source files were kept.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot read %1: %2. Packing aborted!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 ended after %2 of its %3 bytes; it was changed while packing. Packing aborted!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 changed size since packing started (%2 bytes, now %3). Packing aborted!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Packing aborted! The source files were kept.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 changed while it was being packed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 was deleted while it was being packed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 was replaced by another file while it was being packed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 holds %2 bytes instead of %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot finish writing %1: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 leads to %2, not a regular file; a pack writes only regular files and never replaces anything else. Packing aborted!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is %2, not a regular file; a pack writes only regular files and never replaces anything else. Packing aborted!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 was made again by another program each time it was deleted; it was not replaced. Packing aborted!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 turned out to be one of the files being packed once it was opened; it was not overwritten. Packing aborted!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is being written by another pack. Packing aborted!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 would hold %2 bytes, but its file system (%3) cannot hold a file larger than %4 bytes. Packing aborted!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, read back from its storage, differs from the files packed from byte %2 on: the storage did not keep what was written.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot read %1 back to check it: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 was packed, but checking it was cancelled, so the source files were kept.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is not enough memory to go on.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move this file to the trash?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move these %1 files to the trash?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (%2; it is in the trash, %3, and must be restored by hand)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 could not be moved to the trash (%2). It was left where it is.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This file could not be moved to the trash properly:<byte value="xd"/>
<byte value="xd"/>
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>These files could not be moved to the trash and were left where they are:<byte value="xd"/>
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The audio files have different sample rates or layers. A player may not play the joined file smoothly. Pack anyway?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> These parts were copied as they were: %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::PreferencesDialog</name>
    <message>
        <source>Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>General</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete After Action</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mpeg Compatibilty Check</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Seamless Join</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The group of options shown below.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yes: the clocks of MPEG program streams run on across the parts, and the tags and VBR headers of later MP3 files are left out, so that players see one file of the right length.
No: the files are joined byte for byte.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete After Action:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mpeg Compatibility Check:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Seamless Join:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yes (Prompt)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yes (No Prompt)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>What happens to the source files after a successful pack: they stay, or they go to the trash after a question, or without one.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Whether Pack checks that every video has the picture size and frame rate of the first.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Prev</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shows the previous page of options.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shows the next page of options.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sets every option of this window to its default.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Applies the options and closes the window.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Closes the window without changing the options.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to reset and restore all default settings?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::ProgressWindow</name>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The time the pack still needs.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>How much of the pack is done.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file being packed or checked.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stops packing; the part written so far stays.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Packing progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The share of all files written, in percent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Packing &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::SaveDialog</name>
    <message>
        <source>Save Pack File As</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::SeamlessPlan</name>
    <message>
        <source>damaged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>changed size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not an MPEG stream</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::Shell</name>
    <message>
        <source>No program could be found to open &apos;%1&apos;. Set up a program for it in the desktop&apos;s settings and try again.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::Startup</name>
    <message>
        <source>cannot open a display: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DISPLAY and WAYLAND_DISPLAY are not set</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no platform plugin could be started</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This program is already running!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the open window did not take the files: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>running without the single-instance guard: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no lock at &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>files from later starts cannot be received: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>invalid option -- &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>option &apos;--%1&apos; doesn&apos;t allow an argument</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unrecognized option &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the name is not valid UTF-8</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; for the file &apos;%1&apos; write &apos;./%1&apos; or put &apos;--&apos; before it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot add &apos;%1&apos;: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usage: klivatarn [--] [FILE...]
Joins MPEG-1 video and MP3 or MP2 files into one, in a window.

Each FILE is added to the Pack List, in order, as File &gt; Add adds it. When the window
is open already, the files are handed to it and it comes to the front.

  --           end of options: what follows are files, even &apos;-x.mpg&apos;
  -h, --help   this text
  --version    the program and its version

Exit status: 0 the window was closed, or the files were handed to the open window
(or, without files, the open window was reported); 1 no display, or a second start
could not hand over every FILE; 2 usage error.
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::StreamDetails</name>
    <message>
        <source>MPEG-1 program stream</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MPEG-2 program stream</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MPEG-2 video elementary stream</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MPEG-1 video elementary stream</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MPEG-%1 audio layer %2, %3, %4 Hz, %5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>mono</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>stereo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::TechSupportDialog</name>
    <message>
        <source>Vantu Kliva Technical Support</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please check the below website for any updates and bugfixes.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Website:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You can submit bug reports to</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Email:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Support:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::TipOfTheDay</name>
    <message>
        <source>Vantu Kliva TARN Tip of the Day</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Did you know...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tip</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Next Tip</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Show Tips at Startup</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::Tips</name>
    <message>
        <source>That the %1 file was not found? </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>tod.ctd</source>
        <comment>the name of the tips file in this language, beside the English tod.ctd</comment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::Toolbar</name>
    <message>
        <source>Add file(s)... (multiple selection possible)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove selected file(s).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move selected file(s) up.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move selected file(s) down.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pack files...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configure options.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Launch help file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add file(s) to Pack List...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove selected file(s) from Pack List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move selected file(s) up in Pack List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move selected file(s) down in Pack List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pack</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configure options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Launch help file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Awaiting for job...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::Trash</name>
    <message>
        <source>unknown error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no trash record could be found for it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>its trash record could not be written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it is no longer the file that was packed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>GIO (libgio-2.0.so.0) cannot be loaded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it changed as it was being moved to the trash; it was put back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>its trash record could not be saved to disk</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>there was not enough memory to go on</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>another file took its place as it was being moved to the trash; that file was put back</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kt::cli::Packer</name>
    <message>
        <source>Packing %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 already exists. Do you want to replace it?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>option %1 requires an argument</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>option requires an argument -- %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>invalid option -- %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>option %1 doesn&apos;t allow an argument</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>option %1 is ambiguous; possibilities: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unrecognized option %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; for the file %1, put &apos;--&apos; before it or write %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--info needs at least one file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>-z (--null) goes with --info only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the output file is missing (-o OUTPUT)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--yes and --no exclude each other</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--trash and --trash-prompt exclude each other</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown rate %1 (slow, normal, fast, ufast)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be packed: its name is not valid UTF-8.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be packed: the current folder cannot be found (%2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is a folder; -o needs the name of a file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Packing aborted: the question &quot;%1&quot; was not answered.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no answer: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[y/N] </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[r]etry/[C]ancel </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>y</source>
        <comment>short for yes</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>r</source>
        <comment>short for retry</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>retry</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Try &apos;klivatarn-pack --help&apos; for more information.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--info takes no other option than -z, --json and --</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>-z (--null) and --json exclude each other</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--json goes with --info only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usage: klivatarn-pack --info [-z | --json] FILE...
       klivatarn-pack -o OUTPUT [options] [--] SOURCE...

Joins the SOURCE files, in order, byte for byte into OUTPUT after the checks of the
pack command. Messages and questions go to stderr.

  -o, --output=OUTPUT  the file to write (also -oOUTPUT, --output OUTPUT)
      --force          replace an existing OUTPUT without asking
      --yes, --no      answer every Yes/No question (--no: Cancel to Retry/Cancel
                       too); else asked on a terminal, and without one a question
                       takes No or Cancel (status 3 when that stops the pack)
      --rate=RATE      slow, normal, fast (default) or ufast (also --rate RATE)
      --no-mpeg-check  skip the MPEG validity and compatibility check
      --seamless       Seamless Join: clocks continue across MPEG program-stream
                       parts, inner MP3 tags and VBR headers are left out (off by
                       default)
      --trash          move the sources to the trash after a successful pack
      --trash-prompt   the same after one question
      --info           describe each FILE: path, video size, frame rate, with TABs
                       between; control characters and &apos;\&apos; in the path are
                       escaped (\t, \n, \\, \033)
  -z, --null           with --info: end each row with NUL, the path unescaped
      --json           with --info: one JSON array, an object per FILE: path,
                       bytes, kind, width, height, frame_rate, duration (seconds),
                       bit_rate, sample_rate, channels (null when not known)
  -h, --help           this text
      --version        the program and its version
  --                   end of options: what follows are files, even &apos;-x.mpg&apos;

Long options may be abbreviated while unambiguous (--out=FILE, --vers).
A name with control characters is quoted in messages as for the shell: &apos;a&apos;$&apos;\n&apos;&apos;b&apos;.
Ctrl-C while packing cancels and leaves the part written so far.
Exit status: 0 packed (or every file described), 1 refused or failed,
2 usage error, 3 a question without an answer stopped the pack, 4 packed but a
source meant for the trash stayed where it was, 130 cancelled.
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
