#!/usr/bin/perl
# generate_mac_code_pages.pl OUTPUT: writes, from the Mac encodings that
# Perl's Encode carries (Apple's published mappings), the decoding tables of
# the single-byte Mac code pages that the C library's converters lack, as a
# C++ fragment that win_nls.cpp includes: for each page, every byte that
# reads as exactly one UTF-16 unit, in byte order, and the bytes read only:
# those that read as a unit followed by one of Apple's variant tags
# (U+F870..U+F87F: the same character drawn otherwise), which read as the
# unit alone but are not written for it. Bytes that read as other sequences
# (Apple's composed forms) are left out: a code page's table holds one unit a
# byte.
use strict;
use warnings;
use Encode ();

# The East Asian Mac pages are not among them: the system reads their
# double-byte codes as the national standards, which the C library has.
my @pages = (
  [10004, 'MacArabic'],   [10005, 'MacHebrew'],  [10006, 'MacGreek'],
  [10010, 'MacRumanian'], [10021, 'MacThai'],    [10079, 'MacIcelandic'],
  [10081, 'MacTurkish'],  [10082, 'MacCroatian'],
);

# The one BMP unit that the byte `byte` reads as, or undef; `tagged` is set
# when a variant tag follows it.
sub single_unit {
  my ($encoding, $byte, $tagged) = @_;
  my $bytes = chr($byte);
  my $text = $encoding->decode($bytes, Encode::FB_QUIET);
  $$tagged = length($text) == 2 && ord(substr($text, 1)) >= 0xF870 && ord(substr($text, 1)) <= 0xF87F;
  $text = substr($text, 0, 1) if $$tagged;
  return undef if $bytes ne '' || length($text) != 1 || ord($text) > 0xFFFF;
  return ord($text);
}

# The C++ array `name` of `entries`, six a line.
sub array_of {
  my ($name, @entries) = @_;
  my $text = "constexpr GeneratedCode $name\[] = {\n";
  for (my $i = 0; $i < @entries; $i += 6) {
    $text .= '    ' . join(', ', @entries[$i .. ($i + 5 < $#entries ? $i + 5 : $#entries)]) . ",\n";
  }
  return $text . "};\n";
}

my ($output) = @ARGV;
die "usage: $0 OUTPUT\n" unless defined $output;
my $text = "// Written by cmake/generate_mac_code_pages.pl from Perl's Encode; not edited by hand.\n";
my @list;
for my $page (@pages) {
  my ($number, $name) = @$page;
  my $encoding = Encode::find_encoding($name) or die "Perl's Encode has no $name\n";
  my (@codes, @read_only);
  for my $byte (0 .. 255) {
    my $tagged;
    my $unit = single_unit($encoding, $byte, \$tagged);
    push @{$tagged ? \@read_only : \@codes}, sprintf('{0x%02X, 0x%04X}', $byte, $unit) if defined $unit;
  }
  # An empty array cannot be declared; a page without codes read only gets a span of none.
  $text .= array_of("k${name}Codes", @codes);
  $text .= array_of("k${name}CodesReadOnly", @read_only) if @read_only;
  my $read_only_span = @read_only ? "k${name}CodesReadOnly" : '{}';
  push @list, "    {$number, k${name}Codes, $read_only_span},\n";
}
$text .= "constexpr GeneratedCodePage kGeneratedCodePages[] = {\n" . join('', @list) . "};\n";
open(my $file, '>', "$output.tmp") or die "cannot write $output.tmp: $!\n";
print $file $text;
close($file) or die "cannot write $output.tmp: $!\n";
rename("$output.tmp", $output) or die "cannot rename $output.tmp: $!\n";
