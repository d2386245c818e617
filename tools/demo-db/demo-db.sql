-- The two tables of the central database that orvitex-setup reads, with demo rows.
-- Only loopback and made-up values: nothing here names a real clinic or server.
CREATE TABLE "tb_orvi서버정보" (
    "요양기관기호" TEXT PRIMARY KEY,
    "자동업데이트경로" TEXT,
    "서버Name" TEXT,
    "서버ID" TEXT,
    "서버PWD" TEXT,
    "데이터베이스" TEXT
);
INSERT INTO "tb_orvi서버정보" VALUES
    ('12345678', 'C:\OrvitexDemo\update', '127.0.0.1\ORVITEX', 'demo', 'demo-password', 'orvitex_demo'),
    ('87654321', 'C:\OrvitexDemo\update2', '127.0.0.1', 'demo2', 'demo-password-2', 'orvitex_demo2');

CREATE TABLE "tb_도르네AS" (
    "파일이름" TEXT PRIMARY KEY,
    "실행파일" BLOB
);
INSERT INTO "tb_도르네AS" VALUES
    ('오르비셋업', @BLOB@),
    ('오르비필수업데이트', @BLOB@),
    ('오르비필수업데이트2', @BLOB@),
    ('오르비필수업데이트3', @BLOB@),
    ('ALL7', @BLOB@),
    ('DUR', @BLOB@);
