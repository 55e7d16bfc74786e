#pragma once
// The job that turns a locked classic vault's container into a strong one as a stream: the
// classic entry stream is read through the job's cipher and sealed, byte for byte, into a strong
// container beside it (ContainerFile::Converted), which is flushed. The container itself is only
// read; the launcher saves the record as strong and then puts the copy in its place.

#include "vault_job.h"

// The header version a converted container is written in: the entry stream is copied as it is,
// so its names stay in the ANSI code page as the classic stream has them, and version 2 is the
// latest whose stream holds such names (StrongEntryNameEncoding). The next lock of the vault
// writes the latest version, with UTF-8 names.
constexpr uint32_t CONVERTED_HEADER_VERSION = 2;

// The job's cipher is keyed with the classic password, its password is the UTF-8 one that is to
// protect the vault, its stream id is kept beside the record already; total is the classic
// container's size, partialPath where the copy is written. Ends as failed when the container
// cannot be read or is no whole number of cipher blocks, the copy cannot be written or flushed,
// or the user cancels; the launcher deletes what it left of the copy.
DWORD WINAPI ConvertContainerProc(void* job);
