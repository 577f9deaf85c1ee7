#!/usr/bin/python3
"""A pass-through file system over a backing directory that fails on purpose, so the
network test meets real I/O errors and real corruption.

Usage: faulty_fs.py BACKING MOUNTPOINT MODE [ARG [MARKER]]
  eio-write AFTER   writes to test.tmp fail with EIO once AFTER bytes were written
  eio-read          reads of test.tmp fail with EIO
  flip-read OFFSET  reads of test.tmp return the byte at OFFSET with its low bit flipped
  flip-once OFFSET  the first read of test.tmp that covers OFFSET returns that byte with its
                    low bit flipped, later ones return it as stored (damage on the way)
  flip-stored OFFSET
                    writes to test.tmp store the byte at OFFSET with its low bit flipped
                    (damage on the server's disk)
  zero-read         reads of test.tmp return zeros (a server that hands back garbage)
  free BYTES        the file system reports exactly BYTES free
  stall-write AFTER MARKER
                    once AFTER bytes were written to test.tmp, the next write (and with it
                    the whole server, which answers one request at a time) waits until the
                    file MARKER exists: a server that stops answering and comes back
  none              no faults
"""
import errno
import os
import sys
import time

from fusepy import FUSE, FuseOSError, Operations


class FaultyFs(Operations):
    def __init__(self, backing, mode, arg, marker):
        self.backing = backing
        self.mode = mode
        self.arg = int(arg) if arg else 0
        self.marker = marker
        self.written = 0
        self.flipped_once = False

    def _path(self, path):
        return os.path.join(self.backing, path.lstrip("/"))

    @staticmethod
    def _is_test_file(path):
        return os.path.basename(path) == "test.tmp"

    def getattr(self, path, fh=None):
        st = os.lstat(self._path(path))
        keys = ("st_mode", "st_nlink", "st_size", "st_uid", "st_gid", "st_atime", "st_mtime",
                "st_ctime")
        return {key: getattr(st, key) for key in keys}

    def readdir(self, path, fh):
        return [".", ".."] + os.listdir(self._path(path))

    def mkdir(self, path, mode):
        os.mkdir(self._path(path), mode)

    def rmdir(self, path):
        os.rmdir(self._path(path))

    def unlink(self, path):
        os.unlink(self._path(path))

    def chmod(self, path, mode):
        os.chmod(self._path(path), mode)

    def utimens(self, path, times=None):
        os.utime(self._path(path), times)

    def statfs(self, path):
        st = os.statvfs(self._path(path))
        keys = ("f_bavail", "f_bfree", "f_blocks", "f_bsize", "f_favail", "f_ffree", "f_files",
                "f_flag", "f_frsize", "f_namemax")
        result = {key: getattr(st, key) for key in keys}
        if self.mode == "free":
            # One-byte blocks, so any count of free bytes can be reported exactly.
            result.update(f_frsize=1, f_bavail=self.arg, f_bfree=self.arg,
                          f_blocks=max(self.arg, 1))
        return result

    def create(self, path, mode, fi=None):
        return os.open(self._path(path), os.O_RDWR | os.O_CREAT, mode)

    def open(self, path, flags):
        return os.open(self._path(path), flags & ~(os.O_DIRECT | os.O_CREAT | os.O_EXCL))

    def truncate(self, path, length, fh=None):
        with open(self._path(path), "r+b") as f:
            f.truncate(length)

    def read(self, path, size, offset, fh):
        if self._is_test_file(path) and self.mode == "eio-read":
            raise FuseOSError(errno.EIO)
        os.lseek(fh, offset, os.SEEK_SET)
        data = os.read(fh, size)
        if self._is_test_file(path) and self.mode == "zero-read":
            data = bytes(len(data))
        if self._is_test_file(path) and self.mode == "flip-read":
            data = self._flipped(data, offset)
        if self._is_test_file(path) and self.mode == "flip-once" and not self.flipped_once:
            if offset <= self.arg < offset + len(data):
                self.flipped_once = True
                data = self._flipped(data, offset)
        return data

    def _flipped(self, data, offset):
        if offset <= self.arg < offset + len(data):
            i = self.arg - offset
            data = data[:i] + bytes([data[i] ^ 1]) + data[i + 1:]
        return data

    def write(self, path, data, offset, fh):
        if self._is_test_file(path) and self.mode == "eio-write":
            if self.written + len(data) > self.arg:
                raise FuseOSError(errno.EIO)
            self.written += len(data)
        if self._is_test_file(path) and self.mode == "stall-write":
            if self.written >= self.arg:
                while not os.path.exists(self.marker):
                    time.sleep(0.05)
            self.written += len(data)
        if self._is_test_file(path) and self.mode == "flip-stored":
            data = self._flipped(data, offset)
        os.lseek(fh, offset, os.SEEK_SET)
        return os.write(fh, data)

    def flush(self, path, fh):
        return 0

    def fsync(self, path, datasync, fh):
        os.fsync(fh)
        return 0

    def release(self, path, fh):
        os.close(fh)
        return 0


def main():
    backing, mountpoint, mode = sys.argv[1:4]
    arg = sys.argv[4] if len(sys.argv) > 4 else None
    marker = sys.argv[5] if len(sys.argv) > 5 else None
    FUSE(FaultyFs(backing, mode, arg, marker), mountpoint, foreground=True, nothreads=True,
         allow_other=False)


if __name__ == "__main__":
    main()
