#!/usr/bin/python3
"""brindle-cli history and undo end to end, on real files in a temporary
folder with the history in that folder (BRINDLE_HISTORY): renames are
recorded, listed and undone (also twice), a rename whose old name is taken
is left alone, a batch a crash left open is recovered by the next changing
command, and Ctrl-C stops a rename between files.

Usage: history_test.py BRINDLE_CLI
"""
import json
import os
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time
import unittest

CLI = None


class HistoryTest(unittest.TestCase):
    def setUp(self):
        self.temporary = tempfile.TemporaryDirectory()
        self.folder = os.path.join(self.temporary.name, "music")
        os.mkdir(self.folder)
        self.history = os.path.join(self.temporary.name, "history.sqlite")
        self.environment = dict(os.environ, BRINDLE_HISTORY=self.history)

    def tearDown(self):
        self.temporary.cleanup()

    def run_cli(self, *args):
        return subprocess.run([CLI, *args], capture_output=True, env=self.environment)

    def write(self, name, content=None):
        with open(os.path.join(self.folder, name), "wb") as file:
            file.write((content or "content of " + name).encode())

    def read(self, name):
        with open(os.path.join(self.folder, name), "rb") as file:
            return file.read().decode()

    def names(self):
        return sorted(os.listdir(self.folder))

    def batches(self):
        result = self.run_cli("history", "--json")
        self.assertEqual(result.returncode, 0, result.stderr)
        return [json.loads(line) for line in result.stdout.decode().splitlines()]

    def test_rename_is_listed_undone_and_redone(self):
        for name in ("Alpha.MP3", "Beta Gamma.mp3", "lower.mp3"):
            self.write(name)
        result = self.run_cli("rename", self.folder, "--all", "lower")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.names(), ["alpha.mp3", "beta gamma.mp3", "lower.mp3"])
        batches = self.batches()
        self.assertEqual(len(batches), 1)
        self.assertEqual(batches[0]["command"], "brindle-cli rename lower")
        self.assertEqual(batches[0]["files"], 2)
        self.assertEqual(batches[0]["state"], "done")
        self.assertRegex(batches[0]["time"], r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ$")
        plain = self.run_cli("history").stdout.decode()
        self.assertRegex(plain, r"^1\t\S+\tdone\t2\tbrindle-cli rename lower\n$")

        result = self.run_cli("undo")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.names(), ["Alpha.MP3", "Beta Gamma.mp3", "lower.mp3"])
        self.assertIn(b"restored " + os.path.join(self.folder, "Alpha.MP3").encode(),
                      result.stdout)
        batches = self.batches()
        self.assertEqual([b["state"] for b in batches], ["done", "undone"])
        self.assertEqual(batches[0]["undoes"], batches[1]["id"])

        # Undoing the undo renames again.
        result = self.run_cli("undo", str(batches[0]["id"]))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.names(), ["alpha.mp3", "beta gamma.mp3", "lower.mp3"])
        self.assertEqual(self.read("alpha.mp3"), "content of Alpha.MP3")

        # An undone batch is not undone twice.
        result = self.run_cli("undo", str(batches[1]["id"]))
        self.assertEqual(result.returncode, 1)
        self.assertIn(b"undone already", result.stderr)

    def test_a_taken_old_name_is_left_alone(self):
        for name in ("ONE.mp3", "TWO.mp3"):
            self.write(name)
        self.assertEqual(self.run_cli("rename", self.folder, "--all", "lower").returncode, 0)
        self.write("TWO.mp3", "a new file")
        result = self.run_cli("undo")
        self.assertEqual(result.returncode, 1)
        self.assertIn(b"left alone: " + os.path.join(self.folder, "two.mp3").encode(),
                      result.stderr)
        self.assertEqual(self.names(), ["ONE.mp3", "TWO.mp3", "two.mp3"])
        self.assertEqual(self.read("TWO.mp3"), "a new file")
        self.assertEqual(self.read("two.mp3"), "content of TWO.mp3")

    def test_dry_run_and_listing_record_nothing(self):
        self.write("A.mp3")
        self.assertEqual(self.run_cli("rename", self.folder, "--all", "--dry-run",
                                      "lower").returncode, 0)
        self.assertEqual(self.batches(), [])
        result = self.run_cli("undo")
        self.assertEqual(result.returncode, 1)
        self.assertIn(b"nothing to undo", result.stderr)

    def test_the_next_changing_command_recovers_an_open_batch(self):
        self.write("Song.mp3")
        self.write("Other.mp3")
        self.assertEqual(self.run_cli("history").returncode, 0)  # creates the store
        # A batch as a killed rename leaves it: recorded and open, one file
        # under its temporary name, the other not reached.
        database = sqlite3.connect(self.history)
        cursor = database.execute(
            "INSERT INTO batches(started_at, command, file_count, state) "
            "VALUES(1700000000, 'brindle-cli rename lower', 2, 0)")
        batch = cursor.lastrowid
        for position, (old, temporary, new) in enumerate(
                [("Song.mp3", ".brindle-0000beef", "song.mp3"),
                 ("Other.mp3", ".brindle-0000feed", "other.mp3")]):
            database.execute(
                "INSERT INTO rename_changes VALUES(?, ?, ?, ?, ?, ?)",
                (batch, position, self.folder.encode(), old.encode(), temporary.encode(),
                 new.encode()))
        database.commit()
        database.close()
        os.rename(os.path.join(self.folder, "Song.mp3"),
                  os.path.join(self.folder, ".brindle-0000beef"))

        # Listing changes nothing and recovers nothing.
        self.assertEqual(self.batches()[0]["state"], "open")
        result = self.run_cli("undo", "999")
        self.assertEqual(result.returncode, 1)
        stderr = result.stderr.decode()
        self.assertIn("brindle-cli rename lower", stderr)
        self.assertIn("changed (1): " + os.path.join(self.folder, "song.mp3"), stderr)
        self.assertIn("as before (1): " + os.path.join(self.folder, "Other.mp3"), stderr)
        self.assertIn("there is no batch 999", stderr)
        self.assertEqual(self.names(), ["Other.mp3", "song.mp3"])
        self.assertEqual(self.read("song.mp3"), "content of Song.mp3")
        self.assertEqual(self.batches()[0]["state"], "recovered")

    def test_a_tag_save_is_undone_and_redone_byte_for_byte(self):
        # An MPEG 1 layer 3 frame header and silence, with a version 1 tag.
        audio = b"\xff\xfb\x90\x64" + b"\0" * 4000
        original = audio + b"TAG" + b"Old title".ljust(125, b"\0")
        paths = []
        for name in ("one.mp3", "two.mp3"):
            path = os.path.join(self.folder, name)
            with open(path, "wb") as file:
                file.write(original)
            paths.append(path)
        result = self.run_cli("write", *paths, "--set", "TAGv2Title=New title")
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(paths[0], "rb") as file:
            saved = file.read()
        self.assertNotEqual(saved, original)
        batches = self.batches()
        self.assertEqual(len(batches), 1)
        self.assertEqual(batches[0]["files"], 2)

        result = self.run_cli("undo")
        self.assertEqual(result.returncode, 0, result.stderr)
        for path in paths:
            with open(path, "rb") as file:
                self.assertEqual(file.read(), original)
        result = self.run_cli("undo")
        self.assertEqual(result.returncode, 0, result.stderr)
        for path in paths:
            with open(path, "rb") as file:
                self.assertEqual(file.read(), saved)
        self.assertEqual([b["state"] for b in self.batches()], ["done", "undone", "undone"])

    def test_ctrl_c_stops_a_rename_between_files(self):
        count = 3000
        for index in range(count):
            self.write("File %04d.MP3" % index, "x")
        process = subprocess.Popen([CLI, "rename", self.folder, "--all", "lower"],
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                   env=self.environment)
        # Wait for the first renamed line, then interrupt.
        process.stdout.readline()
        process.send_signal(signal.SIGINT)
        out, err = process.communicate(timeout=60)
        state = self.batches()[0]["state"]
        names = self.names()
        self.assertEqual(len(names), count)
        self.assertFalse([name for name in names if name.startswith(".brindle-")])
        if process.returncode == 1:
            self.assertEqual(state, "stopped")
            self.assertIn(b"stopped;", err)
        else:
            # The walk was done before the signal came.
            self.assertEqual(process.returncode, 0, err)
            self.assertEqual(state, "done")


if __name__ == "__main__":
    CLI = sys.argv.pop(1)
    unittest.main()
