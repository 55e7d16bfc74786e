#!/usr/bin/env python3
"""The compiled help file as a reader outside the program sees it.

Usage: help_file_test.py HELP_FILE TOPIC_TABLE_SOURCE HELP_SOURCE_DIR EXTRACT_CHMLIB

Extracts HELP_FILE with chmlib's extract_chmLib and checks that every topic named in the program's
topic table (the .html string literals of TOPIC_TABLE_SOURCE) is inside it, that its #SYSTEM
names an existing default topic and the title, that every topic of HELP_SOURCE_DIR was compiled,
is well-formed and reachable from the default topic, and that every link, contents entry and
index entry leads to a file inside the help file.
"""

import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree
from urllib.parse import unquote

HELP_FILE, TOPIC_TABLE, HELP_SOURCES, EXTRACT_CHMLIB = sys.argv[1:5]
TITLE = "Zovantri Orvella Help"

# #SYSTEM record codes.
SYSTEM_DEFAULT_TOPIC = 2
SYSTEM_TITLE = 3


def system_records(data):
    """The records of a #SYSTEM file: code -> data, after its 4-byte version."""
    records = {}
    position = 4
    while position + 4 <= len(data):
        code, length = struct.unpack_from("<HH", data, position)
        records[code] = data[position + 4:position + 4 + length]
        position += 4 + length
    return records


def zero_terminated(data):
    return data.split(b"\0", 1)[0].decode("cp1252")


def table_topics():
    with open(TOPIC_TABLE, encoding="utf-8") as source:
        return sorted(set(re.findall(r'"([^"\\]+\.html)"', source.read())))


def links_of(path):
    """The href and src values of an HTML file, without their #fragments."""
    with open(path, encoding="cp1252") as page:
        text = page.read()
    return [unquote(link.split("#", 1)[0])
            for link in re.findall(r'(?:href|src)="([^"]*)"', text, re.IGNORECASE)]


def sitemap_locals(path):
    with open(path, encoding="cp1252") as sitemap:
        return re.findall(r'<param name="Local" value="([^"]*)"', sitemap.read(), re.IGNORECASE)


def is_external(link):
    return link == "" or re.match(r"^[a-z][a-z0-9+.-]*:", link, re.IGNORECASE) is not None


class HelpFileTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.extracted = tempfile.TemporaryDirectory()
        subprocess.run([EXTRACT_CHMLIB, HELP_FILE, cls.extracted.name], check=True,
                       stdout=subprocess.DEVNULL)
        cls.names = set(os.listdir(cls.extracted.name))
        with open(os.path.join(cls.extracted.name, "#SYSTEM"), "rb") as system:
            cls.system = system_records(system.read())
        cls.sources = sorted(name for name in os.listdir(HELP_SOURCES) if name.endswith(".html"))

    @classmethod
    def tearDownClass(cls):
        cls.extracted.cleanup()

    def compiled(self, name):
        return os.path.join(self.extracted.name, name)

    def default_topic(self):
        return zero_terminated(self.system[SYSTEM_DEFAULT_TOPIC])

    def test_every_topic_of_the_table_is_in_the_help_file(self):
        topics = table_topics()
        self.assertTrue(topics, "no topic names found in " + TOPIC_TABLE)
        for topic in topics:
            with self.subTest(topic=topic):
                self.assertIn(topic, self.names)

    def test_the_default_topic_and_the_title(self):
        self.assertIn(self.default_topic(), self.names)
        self.assertEqual(TITLE, zero_terminated(self.system[SYSTEM_TITLE]))

    def test_every_topic_is_compiled_and_well_formed(self):
        for topic in self.sources:
            with self.subTest(topic=topic):
                self.assertIn(topic, self.names)
                ElementTree.parse(self.compiled(topic))

    def test_the_default_topic_links_to_every_other_topic(self):
        linked = set(links_of(self.compiled(self.default_topic())))
        for topic in self.sources:
            if topic != self.default_topic():
                with self.subTest(topic=topic):
                    self.assertIn(topic, linked)

    def test_every_link_stays_inside_the_help_file(self):
        for topic in self.sources:
            for link in links_of(self.compiled(topic)):
                if not is_external(link):
                    with self.subTest(topic=topic, link=link):
                        self.assertIn(link, self.names)

    def test_contents_and_index_name_topics_inside_the_help_file(self):
        for sitemap in ("Orvella.hhc", "Orvella.hhk"):
            entries = sitemap_locals(self.compiled(sitemap))
            self.assertTrue(entries, sitemap + " has no entries")
            for local in entries:
                with self.subTest(sitemap=sitemap, local=local):
                    self.assertIn(local, self.names)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
